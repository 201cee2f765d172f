#include "platform/agents/Launchctl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/agents/PropertyListReader.h"
#include "platform/agents/SystemdUnitFiles.h"
#include "tests/support/RecordingProcessRunner.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::platform {
namespace {

using ::testing::ElementsAre;
using testing::exitedWith;
using ::testing::IsEmpty;
using testing::readFile;

std::string agentPropertyList(const std::string& hour = "<integer>2</integer>") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n<dict>\n"
           "    <key>Label</key>\n    <string>app.norvane.collect</string>\n"
           "    <key>ProgramArguments</key>\n    <array>\n"
           "        <string>/usr/local/bin/norvane</string>\n        <string>collect</string>\n    </array>\n"
           "    <key>StartCalendarInterval</key>\n    <dict>\n"
           "        <key>Hour</key>\n        " +
           hour +
           "\n"
           "        <key>Minute</key>\n        <integer>0</integer>\n    </dict>\n"
           "    <key>StandardOutPath</key>\n    <string>/home/a &amp; b/Library/Logs/Norvane/collect.log</string>\n"
           "    <key>RunAtLoad</key>\n    <false/>\n</dict>\n</plist>";
}

class LaunchctlTest : public ::testing::Test {
protected:
    std::filesystem::path timerFile() const { return unitFolder / "app.norvane.collect.timer"; }
    std::filesystem::path serviceFile() const { return unitFolder / "app.norvane.collect.service"; }

    testing::TemporaryFolder folder;
    std::filesystem::path unitFolder = folder.path() / "config/systemd/user";
    std::filesystem::path propertyList = folder.writeFile("Library/LaunchAgents/agent.plist", agentPropertyList());
};

TEST_F(LaunchctlTest, LoadWritesTheUnitsAndStartsTheTimer) {
    testing::RecordingProcessRunner runner;
    const auto result = Launchctl(runner, unitFolder).run({"load", propertyList.string()});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardError, "");
    EXPECT_THAT(runner.commandLines(), ElementsAre("systemctl --user daemon-reload",
                                                   "systemctl --user enable --now app.norvane.collect.timer"));
    const auto agent = LaunchAgent::fromPropertyList(PropertyListReader::read(agentPropertyList()));
    EXPECT_EQ(readFile(serviceFile()), SystemdUnitFiles::serviceUnit(agent));
    EXPECT_EQ(readFile(timerFile()), SystemdUnitFiles::timerUnit(agent));
    EXPECT_NE(readFile(serviceFile()).find("append:/home/a & b/Library/Logs/Norvane/collect.log"), std::string::npos);
}

TEST_F(LaunchctlTest, FailedLoadReportsSystemctlAndLeavesNoUnits) {
    testing::RecordingProcessRunner runner([](const ProcessRequest& request) {
        return request.arguments[1] == "enable" ? exitedWith(1, "Failed to connect to bus: No medium found\n")
                                                : exitedWith(0);
    });
    const auto result = Launchctl(runner, unitFolder).load(propertyList);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError,
              "systemctl --user enable --now app.norvane.collect.timer: Failed to connect to bus: No medium found");
    EXPECT_FALSE(std::filesystem::exists(timerFile()));
    EXPECT_FALSE(std::filesystem::exists(serviceFile()));
    EXPECT_EQ(runner.commandLines().back(), "systemctl --user daemon-reload");
}

TEST_F(LaunchctlTest, FailuresWithoutTextOrWithoutSystemctlStillSaySomething) {
    testing::RecordingProcessRunner silent([](const ProcessRequest&) { return exitedWith(3); });
    EXPECT_EQ(Launchctl(silent, unitFolder).load(propertyList).standardError,
              "systemctl --user daemon-reload: exited with status 3");
    testing::RecordingProcessRunner missing(testing::failingToStart("No such file or directory"));
    const auto result = Launchctl(missing, unitFolder).load(propertyList);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError, "systemctl: No such file or directory");
}

TEST_F(LaunchctlTest, LoadRejectsPropertyListsItCannotRun) {
    testing::RecordingProcessRunner runner;
    const auto textHour = folder.writeFile("text-hour.plist", agentPropertyList("<string>2</string>"));
    auto result = Launchctl(runner, unitFolder).load(textHour);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError, textHour.string() + ": Hour must be an integer from 0 to 23");
    result = Launchctl(runner, unitFolder).load(folder.path() / "missing.plist");
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError, (folder.path() / "missing.plist").string() + ": No such file or directory");
    EXPECT_THAT(runner.requests, IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(unitFolder));
}

TEST_F(LaunchctlTest, UnloadStopsDisablesAndRemovesTheUnits) {
    testing::RecordingProcessRunner runner;
    Launchctl launchctl(runner, unitFolder);
    ASSERT_EQ(launchctl.load(propertyList).exitStatus, 0);
    runner.requests.clear();
    const auto result = launchctl.run({"unload", propertyList.string()});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_THAT(runner.commandLines(),
                ElementsAre("systemctl --user disable --now app.norvane.collect.timer",
                            "systemctl --user stop app.norvane.collect.service", "systemctl --user daemon-reload"));
    EXPECT_FALSE(std::filesystem::exists(timerFile()));
    EXPECT_FALSE(std::filesystem::exists(serviceFile()));
}

TEST_F(LaunchctlTest, UnloadOfAnUnknownAgentCannotFindTheService) {
    testing::RecordingProcessRunner runner;
    const auto result = Launchctl(runner, unitFolder).unload(propertyList);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError, "Could not find specified service");
    EXPECT_THAT(runner.requests, IsEmpty());
}

TEST_F(LaunchctlTest, FailedUnloadKeepsTheUnits) {
    testing::RecordingProcessRunner loader;
    ASSERT_EQ(Launchctl(loader, unitFolder).load(propertyList).exitStatus, 0);
    testing::RecordingProcessRunner runner([](const ProcessRequest&) { return exitedWith(1, "Access denied\n"); });
    const auto result = Launchctl(runner, unitFolder).unload(propertyList);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError, "systemctl --user disable --now app.norvane.collect.timer: Access denied");
    EXPECT_TRUE(std::filesystem::exists(timerFile()));
    EXPECT_TRUE(std::filesystem::exists(serviceFile()));
}

TEST_F(LaunchctlTest, OtherCommandLinesAreUsageErrors) {
    testing::RecordingProcessRunner runner;
    Launchctl launchctl(runner, unitFolder);
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{}, {"load"}, {"start", "x"}, {"load", "a", "b"}}) {
        const auto result = launchctl.run(arguments);
        EXPECT_EQ(result.exitStatus, 64);
        EXPECT_EQ(result.standardError, "usage: norvane-launchctl load PLIST | unload PLIST");
    }
}

} // namespace
} // namespace norvane::platform
