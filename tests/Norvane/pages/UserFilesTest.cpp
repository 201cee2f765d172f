#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "tests/Norvane/ProgramProcess.h"
#include "tests/core/collection/GitTestRepository.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ProcessWatch.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::testing {
namespace {

namespace fs = std::filesystem;

/// A user's home that the programs have not seen yet. The programs run under umask 022, as a login
/// shell usually gives them.
class UserFiles : public ::testing::Test {
protected:
    std::map<std::string, std::string> environment() const { return userEnvironment(home.path(), runtime.path()); }

    /// What the tool printed.
    std::string norvane(const std::vector<std::string>& arguments) const { return runTool(arguments, environment()); }

    /// Starts the application, waits until `ready` holds, and ends it with `signal`, SIGTERM as a
    /// logout does; returns how it ended, as waitpid tells.
    int runTheApplicationUntil(const std::function<bool()>& ready, int signal = SIGTERM) const {
        ProgramProcess application("Norvane", {}, environment());
        EXPECT_TRUE(waitUntil(ready));
        ::kill(application.id(), signal);
        return application.waitForEnd();
    }

    static mode_t modeOf(const fs::path& path) {
        struct stat status {};
        ::lstat(path.c_str(), &status);
        return status.st_mode & 07777;
    }

    /// Every file and folder under the home whose mode is not the owner's alone (0700 for a
    /// folder, 0600 for a file), with its mode.
    std::vector<std::string> openToOthers() const {
        std::vector<std::string> open;
        for (const auto& entry : fs::recursive_directory_iterator(home.path())) {
            const mode_t mode = modeOf(entry.path());
            if (mode != (entry.is_directory() ? 0700 : 0600)) {
                open.push_back(fs::relative(entry.path(), home.path()).string() + " " + std::to_string(mode));
            }
        }
        return open;
    }

    TemporaryFolder home;
    TemporaryFolder runtime;
};

TEST_F(UserFiles, EverythingTheToolAndTheApplicationMakeIsTheUsersAlone) {
    GitTestRepository project;
    project.writeFile("main.cpp", "int main() {}\n");
    project.commit("Initial commit", utc("2024-01-10T12:00:00Z"));
    TemporaryFolder exports;

    norvane({"add", "demo", project.pathString()});
    norvane({"collect"});
    norvane({"history", "demo"});
    norvane({"list"});
    norvane({"export", "-o", (exports.path() / "export.json").string()});
    runTheApplicationUntil([&] { return fs::exists(home.path() / ".local/share/Norvane/norvane.store-shm"); });

    EXPECT_TRUE(fs::exists(home.path() / ".local/share/Norvane/norvane.store"));
    EXPECT_TRUE(fs::exists(home.path() / ".config/Norvane/Norvane.conf"));
    EXPECT_EQ(openToOthers(), std::vector<std::string>{});
    // An export is the user's own choice: it follows the umask.
    EXPECT_EQ(modeOf(exports.path() / "export.json"), 0644u);
}

// As an earlier version left them: folders 0755 and files 0644, and a store of that time. It shared
// the figures: with sharing off, a start drops the queue of reports, and the check would find it
// gone whenever the start went that far before it was stopped.
TEST_F(UserFiles, WhatAnEarlierVersionLeftOpenToOthersIsTheUsersAloneAfterAStart) {
    const TemporaryFolder project;
    norvane({"add", "demo", project.path().string()});
    const std::vector<std::pair<std::string, std::string>> files{
        {".config/Norvane/Norvane.conf",
         "[General]\nanonymousDeviceId=5EC2E700-0000-4000-8000-000000000005\nshareAnonymousMetrics=true\n"},
        {".local/share/Norvane/pending-reports.json", "[]"},
        {".local/share/Norvane/norvane.store-journal", ""},
        {".local/state/norvane/collect.log", "Collected demo\n"},
        {".local/state/norvane/collect-error.log", ""},
        {".config/systemd/user/app.norvane.collect.service", "[Unit]\n"},
        {".config/systemd/user/app.norvane.collect.timer", "[Unit]\n"},
    };
    for (const auto& [file, contents] : files) ::chmod(home.writeFile(file, contents).c_str(), 0644);
    std::vector<fs::path> earlier{home.path() / ".local/share/Norvane/norvane.store"};
    for (const auto& [file, contents] : files) earlier.push_back(home.path() / file);
    for (const char* folder : {".config/Norvane", ".local/share/Norvane", ".local/state/norvane"}) {
        earlier.push_back(home.path() / folder);
    }
    for (const auto& path : earlier) ::chmod(path.c_str(), fs::is_directory(path) ? 0755 : 0644);
    const auto allPrivate = [&earlier] {
        return std::all_of(earlier.begin(), earlier.end(), [](const fs::path& path) {
            return modeOf(path) == (fs::is_directory(path) ? 0700u : 0600u);
        });
    };

    norvane({"list"});
    runTheApplicationUntil(allPrivate);

    for (const auto& path : earlier) {
        EXPECT_EQ(modeOf(path), fs::is_directory(path) ? 0700u : 0600u) << path;
    }
}

// Found after a logout had ended the application with SIGTERM: the log of the store that it had made
// stayed beside it, and a copy of a store put back at the path afterwards was read with that log, as
// an empty store.
TEST_F(UserFiles, ASignalEndsTheApplicationAsQuitDoesAndACopyPutBackAfterwardsIsReadWhole) {
    const TemporaryFolder project;
    norvane({"add", "demo", project.path().string()});
    const fs::path store = home.path() / ".local/share/Norvane/norvane.store";
    const fs::path backup = home.path() / "backup.store";
    fs::copy_file(store, backup);
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(store.string() + suffix);

    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        const int status = runTheApplicationUntil([&] { return fs::exists(store.string() + "-shm"); }, signal);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "ended as Quit ends it, not by the signal";
        EXPECT_EQ(fs::exists(store.string() + "-wal") ? fs::file_size(store.string() + "-wal") : 0U, 0U);
        EXPECT_TRUE(fs::exists(home.path() / ".config/Norvane/Norvane.conf")) << "the settings are written";
    }

    fs::copy_file(backup, store, fs::copy_options::overwrite_existing);
    EXPECT_NE(norvane({"list"}).find("demo"), std::string::npos);
}

} // namespace
} // namespace norvane::testing
