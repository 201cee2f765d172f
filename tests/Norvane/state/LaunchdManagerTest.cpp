#include "Norvane/state/LaunchdManager.h"

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
using testing::RecordingProcessRunner;

template <typename Action>
std::string launchdErrorOf(Action action) {
    return testing::errorMessageOf<LaunchdManager::LaunchdError>(action);
}

// The agent program reads the list back: every value survives, also what XML reserves.
TEST(LaunchdManagerPropertyList, ReadsBackWithPathsThatXmlReservesEscaped) {
    RecordingProcessRunner runner;
    const LaunchdManager manager({"/home/R&D <lab>", "/opt/R&D/norvane", "/opt/norvane/norvane-launchctl"}, runner);
    const auto list = platform::PropertyListReader::read(manager.plistContent(23, 59));
    EXPECT_EQ(*list.find("Label")->get<std::string>(), "app.norvane.collect");
    const auto& arguments = *list.find("ProgramArguments")->get<platform::PropertyListValue::Array>();
    ASSERT_EQ(arguments.size(), 2u);
    EXPECT_EQ(*arguments[0].get<std::string>(), "/opt/R&D/norvane");
    EXPECT_EQ(*arguments[1].get<std::string>(), "collect");
    EXPECT_EQ(*list.find("StandardErrorPath")->get<std::string>(),
              "/home/R&D <lab>/Library/Logs/Norvane/collect-error.log");
    EXPECT_EQ(*list.find("RunAtLoad")->get<bool>(), false);
    EXPECT_EQ(manager.plistPath(), "/home/R&D <lab>/Library/LaunchAgents/app.norvane.collect.plist");
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
    /// A manager whose agent is installed, over `runner` for what follows.
    LaunchdManager installed(platform::ProcessRunner& runner) const {
        RecordingProcessRunner loader;
        manager(loader).install(2, 0);
        return manager(runner);
    }

    testing::TemporaryHome home;
    testing::TemporaryFolder folder;
    std::filesystem::path tool;
    std::filesystem::path launchctl = "/opt/norvane/norvane-launchctl";
};

TEST_F(LaunchdManagerTest, InstallWithoutTheToolFailsAndWritesNothing) {
    RecordingProcessRunner runner;
    std::filesystem::remove(tool);
    EXPECT_EQ(launchdErrorOf([&] { manager(runner).install(2, 0); }),
              "CLI tool must be installed first. Use Norvane > Install Command Line Tool.");
    EXPECT_FALSE(std::filesystem::exists(home.path() / "Library"));
    EXPECT_THAT(runner.requests, IsEmpty());
}

TEST_F(LaunchdManagerTest, InstallWritesThePropertyListAndLoadsIt) {
    RecordingProcessRunner runner;
    const auto agent = manager(runner);
    agent.install(3, 0);
    ASSERT_EQ(runner.requests.size(), 1u);
    EXPECT_EQ(runner.requests[0].executable, launchctl.string());
    EXPECT_THAT(runner.requests[0].arguments, ElementsAre("load", agent.plistPath().string()));
    EXPECT_EQ(readFile(agent.plistPath()), agent.plistContent(3, 0));
    EXPECT_TRUE(std::filesystem::is_directory(home.path() / "Library/Logs/Norvane"));
    EXPECT_EQ(agent.installedSchedule(), (LaunchdManager::Schedule{3, 0}));
}

TEST_F(LaunchdManagerTest, FailedLoadReportsLaunchctlAndLeavesNoAgent) {
    RecordingProcessRunner silent([](const platform::ProcessRequest&) { return exitedWith(1); });
    EXPECT_EQ(launchdErrorOf([&] { manager(silent).install(2, 0); }), "launchctl failed: ");
    EXPECT_FALSE(manager(silent).isInstalled());

    RecordingProcessRunner missing(
        testing::failingToStart("No such file or directory: /opt/norvane/norvane-launchctl"));
    EXPECT_EQ(manager(missing).runLaunchctl({"load", "x"}).status, -1);
    EXPECT_EQ(launchdErrorOf([&] { manager(missing).install(2, 0); }),
              "launchctl failed: No such file or directory: /opt/norvane/norvane-launchctl");
    EXPECT_FALSE(manager(missing).isInstalled());
}

TEST_F(LaunchdManagerTest, LaunchctlOutputThatIsNotUtf8BecomesEmpty) {
    RecordingProcessRunner runner([](const platform::ProcessRequest&) {
        platform::ProcessResult result = exitedWith(2, "bad \xFF byte");
        result.standardOutput = "fine";
        return result;
    });
    const auto result = manager(runner).runLaunchctl({"list"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.output, "fine");
    EXPECT_EQ(result.error, "");
}

TEST_F(LaunchdManagerTest, UninstallUnloadsAndRemovesThePropertyListOrRunsNothing) {
    RecordingProcessRunner runner;
    manager(runner).uninstall();
    EXPECT_THAT(runner.requests, IsEmpty());
    const auto agent = installed(runner);
    agent.uninstall();
    EXPECT_THAT(runner.requests.back().arguments, ElementsAre("unload", agent.plistPath().string()));
    EXPECT_FALSE(agent.isInstalled());
}

TEST_F(LaunchdManagerTest, OnlyAnUnloadOfAnUnknownAgentMayFail) {
    RecordingProcessRunner unknown(
        [](const platform::ProcessRequest&) { return exitedWith(1, "Could not find specified service\n"); });
    installed(unknown).uninstall();
    EXPECT_FALSE(manager(unknown).isInstalled());

    RecordingProcessRunner denied([](const platform::ProcessRequest&) { return exitedWith(5, "denied\n"); });
    EXPECT_EQ(launchdErrorOf([&] { installed(denied).uninstall(); }), "launchctl failed: denied\n");
    EXPECT_TRUE(manager(denied).isInstalled());
}

TEST_F(LaunchdManagerTest, FailedRemovalAtUninstallIsReported) {
    RecordingProcessRunner runner;
    const auto agent = manager(runner);
    // A folder with something in it cannot be removed, whoever runs the test.
    std::filesystem::create_directories(agent.plistPath() / "inside");
    EXPECT_THROW(agent.uninstall(), std::filesystem::filesystem_error);
    EXPECT_TRUE(agent.isInstalled());
}

TEST_F(LaunchdManagerTest, ScheduleReadsBackOnlyWellFormedIntegers) {
    RecordingProcessRunner runner;
    const auto agent = manager(runner);
    EXPECT_EQ(agent.installedSchedule(), std::nullopt);
    std::filesystem::create_directories(agent.plistPath().parent_path());
    const auto scheduleOf = [&](const std::string& text) {
        std::ofstream(agent.plistPath()) << text;
        return agent.installedSchedule();
    };
    EXPECT_EQ(scheduleOf(agent.plistContent(21, 30)), (LaunchdManager::Schedule{21, 30}));
    std::string textHour = agent.plistContent(21, 30);
    textHour.replace(textHour.find("<integer>21</integer>"), 21, "<string>21</string>");
    const std::string interval = "<plist version=\"1.0\"><dict><key>StartCalendarInterval</key><dict><key>Hour</key>"
                                 "<integer>4</integer>";
    for (const std::string& text :
         {textHour, interval + "</dict></dict></plist>",
          interval + "<key>Minute</key><integer>99999999999</integer></dict></dict></plist>",
          std::string("<plist version=\"1.0\"><array/></plist>"), agent.plistContent(1, 0).substr(0, 300)}) {
        EXPECT_EQ(scheduleOf(text), std::nullopt) << text;
    }
}

// With the real norvane-launchctl and a systemctl stand-in first in PATH that does nothing.
TEST_F(LaunchdManagerTest, InstallsAndUninstallsThroughTheLaunchctlProgram) {
    const auto systemctl = folder.writeFile("fakebin/systemctl", "#!/bin/sh\n");
    std::filesystem::permissions(systemctl, std::filesystem::perms::owner_all);
    testing::ScopedEnvironment path("PATH", (folder.path() / "fakebin").string() + ":/usr/bin:/bin");
    testing::ScopedEnvironment configHome("XDG_CONFIG_HOME", (home.path() / ".config").string());
    platform::PosixProcessRunner runner;
    const LaunchdManager agent({home.path(), tool, testing::builtProgram("norvane-launchctl")}, runner);

    agent.install(6, 0);
    const auto units = home.path() / ".config/systemd/user";
    EXPECT_NE(readFile(units / "app.norvane.collect.timer").find("OnCalendar=*-*-* 06:00:00"), std::string::npos);
    EXPECT_NE(readFile(units / "app.norvane.collect.service").find("ExecStart=\"" + tool.string() + "\" \"collect\""),
              std::string::npos);
    agent.uninstall();
    EXPECT_FALSE(std::filesystem::exists(units / "app.norvane.collect.timer"));

    // A property list whose units are gone: the program cannot find it, and uninstall still succeeds.
    std::ofstream(agent.plistPath()) << agent.plistContent(6, 0);
    agent.uninstall();
    EXPECT_FALSE(agent.isInstalled());
}

} // namespace
} // namespace norvane::app
