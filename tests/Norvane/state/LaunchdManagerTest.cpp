#include "Norvane/state/LaunchdManager.h"

#include <cstdlib>
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/agents/PropertyListReader.h"
#include "tests/support/ErrorMessage.h"
#include "tests/support/RecordingProcessRunner.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

using ::testing::ElementsAre;
using testing::exitedWith;
using ::testing::IsEmpty;

using testing::readFile;

template <typename Action>
std::string launchdErrorOf(Action action) {
    return testing::errorMessageOf<LaunchdManager::LaunchdError>(action);
}

TEST(LaunchdManagerPropertyList, MatchesTheAgentText) {
    testing::RecordingProcessRunner runner;
    const LaunchdManager manager({"/home/ada", "/usr/local/bin/norvane", "/opt/norvane/norvane-launchctl"}, runner);
    EXPECT_EQ(
        manager.plistContent(2, 0),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n"
        "<dict>\n"
        "    <key>Label</key>\n"
        "    <string>app.norvane.collect</string>\n"
        "    <key>ProgramArguments</key>\n"
        "    <array>\n"
        "        <string>/usr/local/bin/norvane</string>\n"
        "        <string>collect</string>\n"
        "    </array>\n"
        "    <key>StartCalendarInterval</key>\n"
        "    <dict>\n"
        "        <key>Hour</key>\n"
        "        <integer>2</integer>\n"
        "        <key>Minute</key>\n"
        "        <integer>0</integer>\n"
        "    </dict>\n"
        "    <key>StandardOutPath</key>\n"
        "    <string>/home/ada/Library/Logs/Norvane/collect.log</string>\n"
        "    <key>StandardErrorPath</key>\n"
        "    <string>/home/ada/Library/Logs/Norvane/collect-error.log</string>\n"
        "    <key>RunAtLoad</key>\n"
        "    <false/>\n"
        "</dict>\n"
        "</plist>");
    EXPECT_EQ(manager.plistPath(), "/home/ada/Library/LaunchAgents/app.norvane.collect.plist");
    EXPECT_EQ(manager.logFolder(), "/home/ada/Library/Logs/Norvane");
}

TEST(LaunchdManagerPropertyList, EscapesCharactersThatXmlReserves) {
    testing::RecordingProcessRunner runner;
    const LaunchdManager manager({"/home/R&D <lab>", "/usr/local/bin/norvane", "/bin/false"}, runner);
    const std::string text = manager.plistContent(23, 59);
    EXPECT_NE(text.find("    <string>/home/R&amp;D &lt;lab&gt;/Library/Logs/Norvane/collect.log</string>\n"),
              std::string::npos);
    const auto propertyList = platform::PropertyListReader::read(text);
    EXPECT_EQ(*propertyList.find("StandardErrorPath")->get<std::string>(),
              "/home/R&D <lab>/Library/Logs/Norvane/collect-error.log");
}

class LaunchdManagerTest : public ::testing::Test {
protected:
    LaunchdManagerTest() {
        tool = folder.writeFile("bin/norvane", "#!/bin/sh\n");
        std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    }

    LaunchdManager manager(platform::ProcessRunner& runner) const {
        return LaunchdManager({home.path(), tool, launchctl}, runner);
    }

    testing::TemporaryHome home;
    testing::TemporaryFolder folder;
    std::filesystem::path tool;
    std::filesystem::path launchctl = "/opt/norvane/norvane-launchctl";
};

TEST_F(LaunchdManagerTest, InstallWithoutTheToolFailsAndWritesNothing) {
    testing::RecordingProcessRunner runner;
    std::filesystem::remove(tool);
    EXPECT_EQ(launchdErrorOf([&] { manager(runner).install(2, 0); }),
              "CLI tool must be installed first. Use Norvane > Install Command Line Tool.");
    folder.writeFile("bin/norvane", "not executable");
    EXPECT_THROW(manager(runner).install(2, 0), LaunchdManager::LaunchdError);
    EXPECT_FALSE(std::filesystem::exists(home.path() / "Library"));
    EXPECT_THAT(runner.requests, IsEmpty());
}

TEST_F(LaunchdManagerTest, InstallWritesThePropertyListAndLoadsIt) {
    testing::RecordingProcessRunner runner;
    const auto agent = manager(runner);
    agent.install(3, 0);
    ASSERT_EQ(runner.requests.size(), 1u);
    EXPECT_EQ(runner.requests[0].executable, launchctl.string());
    EXPECT_THAT(runner.requests[0].arguments, ElementsAre("load", agent.plistPath().string()));
    EXPECT_EQ(readFile(agent.plistPath()), agent.plistContent(3, 0));
    EXPECT_TRUE(std::filesystem::is_directory(home.path() / "Library/Logs/Norvane"));
    EXPECT_TRUE(agent.isInstalled());
    EXPECT_EQ(agent.installedSchedule(), (LaunchdManager::Schedule{3, 0}));
}

TEST_F(LaunchdManagerTest, FailedLoadReportsLaunchctlAndLeavesNoAgent) {
    testing::RecordingProcessRunner silent([](const platform::ProcessRequest&) { return exitedWith(1); });
    EXPECT_EQ(launchdErrorOf([&] { manager(silent).install(2, 0); }), "launchctl failed: ");
    EXPECT_FALSE(manager(silent).isInstalled());

    testing::RecordingProcessRunner missing(
        testing::failingToStart("No such file or directory: /opt/norvane/norvane-launchctl"));
    const auto result = manager(missing).runLaunchctl({"load", "x"});
    EXPECT_EQ(result.status, -1);
    EXPECT_EQ(result.error, "No such file or directory: /opt/norvane/norvane-launchctl");
    EXPECT_EQ(launchdErrorOf([&] { manager(missing).install(2, 0); }),
              "launchctl failed: No such file or directory: /opt/norvane/norvane-launchctl");
    EXPECT_FALSE(manager(missing).isInstalled());
}

TEST_F(LaunchdManagerTest, LaunchctlOutputThatIsNotUtf8BecomesEmpty) {
    testing::RecordingProcessRunner runner([](const platform::ProcessRequest&) {
        platform::ProcessResult result = exitedWith(2, "bad \xFF byte");
        result.standardOutput = "fine";
        return result;
    });
    const auto result = manager(runner).runLaunchctl({"list"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.output, "fine");
    EXPECT_EQ(result.error, "");
}

TEST_F(LaunchdManagerTest, UninstallWithoutAnAgentRunsNothing) {
    testing::RecordingProcessRunner runner;
    manager(runner).uninstall();
    EXPECT_THAT(runner.requests, IsEmpty());
}

TEST_F(LaunchdManagerTest, UninstallUnloadsAndRemovesThePropertyList) {
    testing::RecordingProcessRunner runner;
    const auto agent = manager(runner);
    agent.install(2, 0);
    agent.uninstall();
    EXPECT_THAT(runner.requests.back().arguments, ElementsAre("unload", agent.plistPath().string()));
    EXPECT_FALSE(agent.isInstalled());
}

TEST_F(LaunchdManagerTest, UninstallOfAnAgentLaunchdDoesNotKnowStillRemovesTheFile) {
    testing::RecordingProcessRunner loader;
    manager(loader).install(2, 0);
    testing::RecordingProcessRunner runner(
        [](const platform::ProcessRequest&) { return exitedWith(1, "Could not find specified service\n"); });
    manager(runner).uninstall();
    EXPECT_FALSE(manager(runner).isInstalled());
}

TEST_F(LaunchdManagerTest, FailedUnloadKeepsTheFile) {
    testing::RecordingProcessRunner loader;
    manager(loader).install(2, 0);
    testing::RecordingProcessRunner runner([](const platform::ProcessRequest&) { return exitedWith(5, "denied\n"); });
    EXPECT_EQ(launchdErrorOf([&] { manager(runner).uninstall(); }), "launchctl failed: denied\n");
    EXPECT_TRUE(manager(runner).isInstalled());
}

TEST_F(LaunchdManagerTest, FailedRemovalAtUninstallIsReported) {
    testing::RecordingProcessRunner runner;
    const auto agent = manager(runner);
    // A folder with something in it cannot be removed, whoever runs the test.
    std::filesystem::create_directories(agent.plistPath() / "inside");
    EXPECT_THROW(agent.uninstall(), std::filesystem::filesystem_error);
    EXPECT_TRUE(agent.isInstalled());
}

TEST_F(LaunchdManagerTest, ScheduleReadsBackOnlyWellFormedIntegers) {
    testing::RecordingProcessRunner runner;
    const auto agent = manager(runner);
    EXPECT_EQ(agent.installedSchedule(), std::nullopt);
    const auto write = [&](const std::string& text) {
        std::filesystem::create_directories(agent.plistPath().parent_path());
        std::ofstream(agent.plistPath()) << text;
    };
    write(agent.plistContent(21, 30));
    EXPECT_EQ(agent.installedSchedule(), (LaunchdManager::Schedule{21, 30}));
    std::string textHour = agent.plistContent(21, 30);
    textHour.replace(textHour.find("<integer>21</integer>"), 21, "<string>21</string>");
    write(textHour);
    EXPECT_EQ(agent.installedSchedule(), std::nullopt);
    write("<plist version=\"1.0\"><dict><key>StartCalendarInterval</key><dict><key>Hour</key><integer>4</integer>"
          "</dict></dict></plist>");
    EXPECT_EQ(agent.installedSchedule(), std::nullopt);
    write("<plist version=\"1.0\"><dict><key>StartCalendarInterval</key><dict><key>Hour</key><integer>4</integer>"
          "<key>Minute</key><integer>99999999999</integer></dict></dict></plist>");
    EXPECT_EQ(agent.installedSchedule(), std::nullopt);
    write("<plist version=\"1.0\"><array/></plist>");
    EXPECT_EQ(agent.installedSchedule(), std::nullopt);
    write(agent.plistContent(1, 0).substr(0, 300));
    EXPECT_EQ(agent.installedSchedule(), std::nullopt);
}

// With the real norvane-launchctl and a systemctl stand-in first in PATH that only logs.
TEST_F(LaunchdManagerTest, InstallsAndUninstallsThroughTheLaunchctlProgram) {
    const char* binFolder = std::getenv("NORVANE_TEST_BIN");
    ASSERT_NE(binFolder, nullptr);
    const auto systemctl = folder.writeFile("fakebin/systemctl", "#!/bin/sh\necho \"$*\" >> \"$SYSTEMCTL_LOG\"\n");
    std::filesystem::permissions(systemctl, std::filesystem::perms::owner_all);
    testing::ScopedEnvironment path("PATH", (folder.path() / "fakebin").string() + ":/usr/bin:/bin");
    testing::ScopedEnvironment log("SYSTEMCTL_LOG", (folder.path() / "systemctl.log").string());
    testing::ScopedEnvironment configHome("XDG_CONFIG_HOME", (home.path() / ".config").string());
    platform::PosixProcessRunner runner;
    const LaunchdManager agent({home.path(), tool, std::filesystem::path(binFolder) / "norvane-launchctl"}, runner);

    agent.install(6, 0);
    const auto units = home.path() / ".config/systemd/user";
    EXPECT_NE(readFile(units / "app.norvane.collect.timer").find("OnCalendar=*-*-* 06:00:00"), std::string::npos);
    EXPECT_NE(readFile(units / "app.norvane.collect.service").find("ExecStart=\"" + tool.string() + "\" \"collect\""),
              std::string::npos);
    EXPECT_EQ(agent.installedSchedule(), (LaunchdManager::Schedule{6, 0}));
    agent.uninstall();
    EXPECT_FALSE(agent.isInstalled());
    EXPECT_FALSE(std::filesystem::exists(units / "app.norvane.collect.timer"));
    EXPECT_EQ(readFile(folder.path() / "systemctl.log"),
              "--user daemon-reload\n--user enable --now app.norvane.collect.timer\n"
              "--user disable --now app.norvane.collect.timer\n--user stop app.norvane.collect.service\n"
              "--user daemon-reload\n");

    // A property list whose units are gone: launchctl cannot find it, and uninstall still succeeds.
    std::ofstream(agent.plistPath()) << agent.plistContent(6, 0);
    const auto unknown = agent.runLaunchctl({"unload", agent.plistPath().string()});
    EXPECT_NE(unknown.status, 0);
    EXPECT_EQ(unknown.error, "Could not find specified service\n");
    agent.uninstall();
    EXPECT_FALSE(agent.isInstalled());
}

} // namespace
} // namespace norvane::app
