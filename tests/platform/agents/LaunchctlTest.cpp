#include "platform/agents/Launchctl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/RecordingProcessRunner.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::platform {
namespace {

using ::testing::ElementsAre;
using testing::exitedWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::readFile;

std::string agentPropertyList(const std::string& hour = "<integer>2</integer>") {
    return "<plist version=\"1.0\"><dict><key>Label</key><string>app.norvane.collect</string>"
           "<key>ProgramArguments</key><array><string>/usr/local/bin/norvane</string><string>collect</string>"
           "</array><key>StartCalendarInterval</key><dict><key>Hour</key>" +
           hour + "<key>Minute</key><integer>0</integer></dict></dict></plist>";
}

class LaunchctlTest : public ::testing::Test {
protected:
    std::filesystem::path timerFile() const { return unitFolder / "app.norvane.collect.timer"; }
    std::filesystem::path serviceFile() const { return unitFolder / "app.norvane.collect.service"; }

    testing::TemporaryFolder folder;
    std::filesystem::path unitFolder = folder.path() / "config/systemd/user";
    std::filesystem::path propertyList = folder.writeFile("Library/LaunchAgents/agent.plist", agentPropertyList());
};

TEST_F(LaunchctlTest, LoadAndUnloadWriteAndRemoveTheUnitsAroundSystemctl) {
    testing::RecordingProcessRunner runner;
    Launchctl launchctl(runner, unitFolder);
    const auto loaded = launchctl.run({"load", propertyList.string()});
    EXPECT_EQ(loaded.exitStatus, 0);
    EXPECT_EQ(loaded.standardError, "");
    EXPECT_THAT(readFile(timerFile()), HasSubstr("OnCalendar=*-*-* 02:00:00\n"));
    EXPECT_THAT(readFile(serviceFile()), HasSubstr("ExecStart=\"/usr/local/bin/norvane\" \"collect\"\n"));

    EXPECT_EQ(launchctl.run({"unload", propertyList.string()}).exitStatus, 0);
    EXPECT_THAT(runner.commandLines(),
                ElementsAre("systemctl --user daemon-reload", "systemctl --user enable --now app.norvane.collect.timer",
                            "systemctl --user disable --now app.norvane.collect.timer",
                            "systemctl --user stop app.norvane.collect.service", "systemctl --user daemon-reload"));
    EXPECT_FALSE(std::filesystem::exists(timerFile()));
    EXPECT_FALSE(std::filesystem::exists(serviceFile()));

    runner.requests.clear();
    const auto unknown = launchctl.unload(propertyList);
    EXPECT_EQ(unknown.exitStatus, 1);
    EXPECT_EQ(unknown.standardError, "Could not find specified service");
    EXPECT_THAT(runner.requests, IsEmpty());
}

TEST_F(LaunchctlTest, AFailedLoadSaysWhyAndLeavesNoUnits) {
    const std::pair<testing::RecordingProcessRunner::Handler, std::string> failures[] = {
        {[](const ProcessRequest& request) {
             return request.arguments[1] == "enable" ? exitedWith(1, "Failed to connect to bus: No medium found\n")
                                                     : exitedWith(0);
         },
         "systemctl --user enable --now app.norvane.collect.timer: Failed to connect to bus: No medium found"},
        {[](const ProcessRequest&) { return exitedWith(3); }, "systemctl --user daemon-reload: exited with status 3"},
        {testing::failingToStart("No such file or directory"), "systemctl: No such file or directory"},
    };
    for (const auto& [handler, message] : failures) {
        testing::RecordingProcessRunner runner(handler);
        const auto result = Launchctl(runner, unitFolder).load(propertyList);
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.standardError, message);
        EXPECT_FALSE(std::filesystem::exists(timerFile()));
        EXPECT_FALSE(std::filesystem::exists(serviceFile()));
        EXPECT_EQ(runner.commandLines().back(), "systemctl --user daemon-reload");
    }
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
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, {"load"}, {"start", "x"}, {"load", "a", "b"}}) {
        const auto result = Launchctl(runner, unitFolder).run(arguments);
        EXPECT_EQ(result.exitStatus, 64);
        EXPECT_EQ(result.standardError, "usage: norvane-launchctl load PLIST | unload PLIST");
    }
}

} // namespace
} // namespace norvane::platform
