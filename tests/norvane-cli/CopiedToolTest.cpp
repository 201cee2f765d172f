// A copied or installed `norvane` looks for the built-in counter beside itself and in the folder
// the programs install to, never at a path of the build that made it.

#include "core/collection/SccService.h"
#include "platform/Date.h"
#include "platform/ProcessRunner.h"

#include "tests/core/collection/GitTestRepository.h"
#include "tests/support/ProcessWatch.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

namespace norvane::testing {
namespace {

std::filesystem::path buildFolder() { return builtProgram("norvane").parent_path(); }

/// A counter installed on this machine outside the build folder, which a copied tool may rightly use.
std::optional<std::filesystem::path> counterOutsideTheBuild() {
    const SccLookup lookup = SccLookup::standard();
    std::vector<std::filesystem::path> candidates = lookup.installPaths;
    candidates.insert(candidates.end(), lookup.builtInPaths.begin(), lookup.builtInPaths.end());
    for (const auto& candidate : candidates) {
        std::error_code ignored;
        if (candidate.parent_path() != buildFolder() && std::filesystem::exists(candidate, ignored)) {
            return candidate;
        }
    }
    return std::nullopt;
}

class CopiedTool : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto counter = counterOutsideTheBuild()) {
            GTEST_SKIP() << "this machine has a counter of its own: " << counter->string();
        }
        std::filesystem::create_directories(copyFolder());
        std::filesystem::copy_file(buildFolder() / "norvane", copyFolder() / "norvane");
        std::filesystem::create_directories(pathFolder());
        repository.writeFile("main.c", "int main(void) { return 0; }\n");
        repository.commit("Initial commit", platform::currentDate());
    }

    std::filesystem::path copyFolder() const { return place.path() / "copy"; }
    std::filesystem::path pathFolder() const { return place.path() / "path"; }
    std::filesystem::path marker() const { return place.path() / "counters-that-ran"; }

    /// A counter that notes where it lies before it prints an empty list of rows.
    void plantCounter(const std::filesystem::path& folder) const {
        plantCounter(folder, "echo '" + folder.string() + "' >> '" + marker().string() + "'\necho '[]'");
    }

    void plantCounter(const std::filesystem::path& folder, const std::string& script) const {
        const auto counter = folder / "norvane-count";
        std::filesystem::create_directories(folder);
        std::ofstream(counter) << "#!/bin/sh\n" << script << "\n";
        std::filesystem::permissions(counter, std::filesystem::perms::owner_all);
    }

    /// `norvane add` from the copy, in a home of its own, with a PATH that holds no scc.
    platform::ProcessResult addProject(const std::string& name) const {
        return platform::PosixProcessRunner().run({.executable = (copyFolder() / "norvane").string(),
                                                   .arguments = {"add", name, repository.pathString()},
                                                   .workingDirectory = home.path(),
                                                   .environment = std::map<std::string, std::string>{
                                                       {"HOME", home.path().string()},
                                                       {"XDG_DATA_HOME", home.dataHome().string()},
                                                       {"GIT_CONFIG_NOSYSTEM", "1"},
                                                       {"PATH", pathFolder().string()},
                                                   }});
    }

    TemporaryHome home;
    TemporaryFolder place;
    GitTestRepository repository;
};

TEST_F(CopiedTool, NeverRunsTheCounterOfTheBuildFolderNorOneFromPathHomeOrWorkingFolder) {
    plantCounter(pathFolder());
    plantCounter(home.path());
    plantCounter(home.path() / ".local/bin");

    const auto run = addProject("demo");

    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardOutput.rfind("Adding demo (", 0), 0u)
        << "no \"Added\" before it fails: " << run.standardOutput;
    EXPECT_EQ(run.standardError,
              "norvane: The first collection of demo failed, so it was not added: scc not found. Install with: go "
              "install github.com/boyter/scc/v3@latest, or put norvane-count, the built-in counter, beside this "
              "program\n");
    EXPECT_EQ(readFile(marker()), "");
}

TEST_F(CopiedTool, RunsTheCounterBesideIt) {
    plantCounter(copyFolder());

    const auto run = addProject("demo");

    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(readFile(marker()), copyFolder().string() + "\n");
}

TEST_F(CopiedTool, AFailureOfTheCounterBesideItNamesThatCounter) {
    plantCounter(copyFolder(), "echo 'norvane-count: cannot read it' >&2\nexit 1");

    const auto run = addProject("demo");

    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardError, "norvane: The first collection of demo failed, so it was not added: norvane-count "
                                 "failed: norvane-count exited with status 1: norvane-count: cannot read it\n");
}

TEST_F(CopiedTool, StoppedByASignalItStopsTheCounterItStarted) {
    for (const int signal : {SIGTERM, SIGINT}) {
        // The counter notes its own process id and the tool's, then counts for ever.
        std::filesystem::remove(marker());
        plantCounter(copyFolder(), "echo $$ $PPID > '" + marker().string() + "'\nexec /bin/sleep 300");
        platform::ProcessResult run;
        std::thread adding([&] { run = addProject("demo-" + std::to_string(signal)); });
        pid_t counter = 0;
        pid_t tool = 0;
        std::istringstream(waitForLine(marker())) >> counter >> tool;
        if (tool <= 0) {
            adding.join();
            FAIL() << "the counter never ran: " << run.standardError;
        }

        kill(tool, signal);
        adding.join();

        EXPECT_EQ(run.exitStatus, 128 + signal);
        const bool ended = waitUntilEnded(counter);
        EXPECT_TRUE(ended) << strsignal(signal);
        if (!ended) kill(counter, SIGKILL);
    }
}

} // namespace
} // namespace norvane::testing
