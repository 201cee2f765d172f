#include "Norvane/state/LaunchdManager.h"

#include <fstream>

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/Norvane/state/SystemctlStandIn.h"
#include "tests/support/ErrorMessage.h"
#include "tests/support/RecordingProcessRunner.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::exitedWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::readFile;
using testing::RecordingProcessRunner;

template <typename Action>
std::string launchdErrorOf(Action action) {
    return testing::errorMessageOf<LaunchdManager::LaunchdError>(action);
}

fs::path executable(const testing::TemporaryFolder& folder, const std::string& path) {
    const auto file = folder.writeFile(path, "#!/bin/sh\n");
    fs::permissions(file, fs::perms::owner_all);
    return file;
}

/// A manager over a temporary home whose tool is installed beside the program; the link's place
/// is in the home too, and empty.
class LaunchdManagerTest : public ::testing::Test {
protected:
    LaunchdManager manager(platform::ProcessRunner& runner) const { return LaunchdManager(locations, runner); }
    /// A manager whose agent is installed at 2:00, over `runner` for what follows.
    LaunchdManager installed(platform::ProcessRunner& runner) const {
        RecordingProcessRunner loader;
        manager(loader).install(2, 0);
        return manager(runner);
    }

    testing::TemporaryHome home;
    testing::TemporaryFolder programs;
    fs::path tool = executable(programs, "norvane");
    LaunchdManager::Locations locations{home.path() / ".config/systemd/user", home.path() / ".local/state/norvane",
                                        CommandLineTool{programs.path(), home.path() / "usr/local/bin/norvane"}};
};

TEST_F(LaunchdManagerTest, InstallWithoutTheToolFailsAndWritesNothing) {
    RecordingProcessRunner runner;
    fs::remove(tool);
    EXPECT_EQ(launchdErrorOf([&] { manager(runner).install(2, 0); }),
              "CLI tool must be installed first. Use Norvane > Install Command Line Tool.");
    EXPECT_THAT(testing::folderEntries(home.path()), IsEmpty());
    EXPECT_THAT(runner.requests, IsEmpty());
}

TEST_F(LaunchdManagerTest, InstallWritesTheUnitsAndStartsTheTimer) {
    RecordingProcessRunner runner;
    const auto agent = manager(runner);
    agent.install(3, 0);
    EXPECT_THAT(runner.commandLines(), ElementsAre("systemctl --user daemon-reload",
                                                   "systemctl --user enable --now app.norvane.collect.timer"));
    EXPECT_EQ(readFile(locations.unitFolder / "app.norvane.collect.timer"), agent.timerContent(3, 0));
    EXPECT_THAT(agent.timerContent(3, 0), HasSubstr("\n[Timer]\nOnCalendar=*-*-* 03:00:00\nPersistent=true\n"));
    const auto logs = home.path() / ".local/state/norvane";
    EXPECT_THAT(readFile(locations.unitFolder / "app.norvane.collect.service"),
                HasSubstr("\nType=oneshot\nExecStart=\"" + tool.string() +
                          "\" \"collect\"\nStandardOutput=append:" + (logs / "collect.log").string() +
                          "\nStandardError=append:" + (logs / "collect-error.log").string() + "\n"));
    EXPECT_TRUE(fs::is_directory(logs));
    EXPECT_TRUE(agent.isInstalled());
    EXPECT_EQ(agent.installedSchedule(), (LaunchdManager::Schedule{3, 0}));
    EXPECT_FALSE(fs::exists(home.path() / "Library"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(locations.tool.linkPath))) << "no link is needed";
}

// The logs hold the names and paths of the user's projects.
TEST_F(LaunchdManagerTest, TheUnitsTheLogsAndTheFoldersMadeForThemAreTheUsersAloneWhateverTheUmask) {
    RecordingProcessRunner runner;
    const mode_t previous = ::umask(022);
    manager(runner).install(2, 0);
    ::umask(previous);

    const auto logs = home.path() / ".local/state/norvane";
    for (const auto& folder : {home.path() / ".config", locations.unitFolder, home.path() / ".local", logs}) {
        EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all) << folder;
    }
    for (const auto& file : {manager(runner).servicePath(), manager(runner).timerPath(), logs / "collect.log",
                             logs / "collect-error.log"}) {
        EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write) << file;
    }
}

TEST_F(LaunchdManagerTest, TheToolBesideTheProgramComesBeforeTheLink) {
    testing::TemporaryFolder elsewhere;
    const auto linked = executable(elsewhere, "norvane");
    fs::create_directories(locations.tool.linkPath.parent_path());
    fs::create_symlink(linked, locations.tool.linkPath);
    RecordingProcessRunner runner;
    manager(runner).install(2, 0);
    EXPECT_THAT(readFile(manager(runner).servicePath()), HasSubstr("ExecStart=\"" + tool.string() + "\""));

    fs::remove(tool);
    manager(runner).install(2, 0);
    EXPECT_THAT(readFile(manager(runner).servicePath()),
                HasSubstr("ExecStart=\"" + locations.tool.linkPath.string() + "\""));
}

TEST_F(LaunchdManagerTest, AwkwardPathsReachTheUnitsIntactOrNotAtAll) {
    testing::TemporaryFolder odd;
    const auto awkward = executable(odd, "100% \"$HOME\" \\ tools/norvane");
    const LaunchdManager agent({locations.unitFolder, home.path() / "50%", {awkward.parent_path(), {}}},
                               platform::defaultProcessRunner());
    EXPECT_THAT(agent.serviceContent(awkward),
                HasSubstr("ExecStart=\"" + odd.path().string() +
                          "/100%% \\\"$HOME\\\" \\\\ tools/norvane\" \"collect\"" +
                          "\nStandardOutput=append:" + home.path().string() + "/50%%/collect.log\n"));

    RecordingProcessRunner runner;
    const LaunchdManager twoLines({locations.unitFolder, home.path() / "a\nStandardInput=tty", locations.tool}, runner);
    EXPECT_THROW(twoLines.install(2, 0), std::invalid_argument);
    EXPECT_FALSE(fs::exists(locations.unitFolder));
    EXPECT_THAT(runner.requests, IsEmpty());
}

TEST_F(LaunchdManagerTest, AFailedStartReportsItAndLeavesNoAgent) {
    RecordingProcessRunner silent([](const platform::ProcessRequest& request) {
        return request.arguments[1] == "enable" ? exitedWith(1) : exitedWith(0);
    });
    EXPECT_EQ(launchdErrorOf([&] { manager(silent).install(2, 0); }), "systemctl failed: ");
    EXPECT_FALSE(manager(silent).isInstalled());
    EXPECT_FALSE(fs::exists(manager(silent).servicePath()));
    EXPECT_EQ(silent.commandLines().back(), "systemctl --user daemon-reload");

    RecordingProcessRunner missing(testing::failingToStart("No such file or directory: systemctl"));
    EXPECT_EQ(manager(missing).runSystemctl({"daemon-reload"}).status, -1);
    EXPECT_EQ(launchdErrorOf([&] { manager(missing).install(2, 0); }),
              "systemctl failed: No such file or directory: systemctl");
    EXPECT_FALSE(manager(missing).isInstalled());
}

TEST_F(LaunchdManagerTest, SystemctlOutputThatIsNotUtf8BecomesEmpty) {
    RecordingProcessRunner runner([](const platform::ProcessRequest&) {
        platform::ProcessResult result = exitedWith(2, "bad \xFF byte");
        result.standardOutput = "fine";
        return result;
    });
    const auto result = manager(runner).runSystemctl({"list-timers"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.output, "fine");
    EXPECT_EQ(result.error, "");
}

TEST_F(LaunchdManagerTest, UninstallStopsAndRemovesTheUnitsOrRunsNothing) {
    RecordingProcessRunner runner;
    manager(runner).uninstall();
    EXPECT_THAT(runner.requests, IsEmpty());
    const auto agent = installed(runner);
    agent.uninstall();
    EXPECT_THAT(runner.commandLines(),
                ElementsAre("systemctl --user disable --now app.norvane.collect.timer",
                            "systemctl --user stop app.norvane.collect.service", "systemctl --user daemon-reload"));
    EXPECT_FALSE(agent.isInstalled());
    EXPECT_FALSE(fs::exists(agent.servicePath()));
}

TEST_F(LaunchdManagerTest, OnlyUnitsThatSystemdDoesNotKnowMayFailToStop) {
    RecordingProcessRunner unknown([](const platform::ProcessRequest&) {
        return exitedWith(1, "Failed to disable unit: Unit file app.norvane.collect.timer does not exist.\n");
    });
    installed(unknown).uninstall();
    EXPECT_FALSE(manager(unknown).isInstalled());

    RecordingProcessRunner denied([](const platform::ProcessRequest&) { return exitedWith(1, "Access denied\n"); });
    EXPECT_EQ(launchdErrorOf([&] { installed(denied).uninstall(); }), "systemctl failed: Access denied\n");
    EXPECT_TRUE(manager(denied).isInstalled());
}

TEST_F(LaunchdManagerTest, AFailedRemovalAtUninstallIsReported) {
    RecordingProcessRunner runner;
    const auto agent = manager(runner);
    // A folder with something in it cannot be removed, whoever runs the test.
    fs::create_directories(agent.timerPath() / "inside");
    EXPECT_THROW(agent.uninstall(), fs::filesystem_error);
    EXPECT_TRUE(agent.isInstalled());
}

TEST_F(LaunchdManagerTest, TheHourReadsBackOnlyFromADailyCalendar) {
    RecordingProcessRunner runner;
    const auto agent = manager(runner);
    EXPECT_EQ(agent.installedSchedule(), std::nullopt);
    fs::create_directories(locations.unitFolder);
    const auto scheduleOf = [&](const std::string& text) {
        std::ofstream(agent.timerPath()) << text;
        return agent.installedSchedule();
    };
    EXPECT_EQ(scheduleOf(agent.timerContent(21, 30)), (LaunchdManager::Schedule{21, 30}));
    for (const std::string& text :
         {std::string("[Timer]\nOnCalendar=daily\n"), std::string("[Timer]\nOnCalendar=*-*-* 24:00:00\n"),
          std::string("[Timer]\nOnCalendar=*-*-* 7:00:00\n"), std::string("[Timer]\nOnCalendar=*-*-* 07:00:30\n"),
          std::string("[Timer]\nPersistent=true\n")}) {
        EXPECT_EQ(scheduleOf(text), std::nullopt) << text;
    }
}

// The standard places in a temporary home, with a systemctl first in PATH that notes its calls:
// the tool is the one beside this program, and nothing goes under ~/Library.
TEST(LaunchdManagerInAHome, EnablesAndDisablesTheDailyTimer) {
    testing::TemporaryHome home;
    testing::ScopedEnvironment config("XDG_CONFIG_HOME", "");
    testing::ScopedEnvironment state("XDG_STATE_HOME", "");
    testing::SystemctlStandIn systemctl;
    const LaunchdManager agent;

    agent.install(2, 0);
    const auto units = home.path() / ".config/systemd/user";
    EXPECT_THAT(readFile(units / "app.norvane.collect.timer"),
                HasSubstr("OnCalendar=*-*-* 02:00:00\nPersistent=true\n"));
    EXPECT_THAT(readFile(units / "app.norvane.collect.service"),
                HasSubstr("ExecStart=\"" + testing::builtProgram("norvane").string() + "\" \"collect\""));
    EXPECT_TRUE(fs::is_directory(home.path() / ".local/state/norvane"));
    EXPECT_EQ(LaunchdManager().installedSchedule(), (LaunchdManager::Schedule{2, 0}));

    agent.uninstall();
    EXPECT_THAT(testing::folderEntries(units), IsEmpty());
    EXPECT_THAT(systemctl.calls(), ElementsAre("--user daemon-reload", "--user enable --now app.norvane.collect.timer",
                                               "--user disable --now app.norvane.collect.timer",
                                               "--user stop app.norvane.collect.service", "--user daemon-reload"));
    EXPECT_FALSE(fs::exists(home.path() / "Library"));
}

} // namespace
} // namespace norvane::app
