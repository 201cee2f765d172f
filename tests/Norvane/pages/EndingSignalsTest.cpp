#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <sqlite3.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "tests/Norvane/ProgramProcess.h"
#include "tests/core/collection/GitTestRepository.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ProcessWatch.h"
#include "tests/support/StoreHolder.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::testing {
namespace {

namespace fs = std::filesystem;

/// Whether the process has `file` open.
bool hasOpen(pid_t process, const fs::path& file) {
    std::error_code error;
    const auto target = fs::canonical(file, error);
    for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(process) + "/fd", error)) {
        if (fs::read_symlink(entry.path(), error) == target) return true;
    }
    return false;
}

/// The salary in the store at `file`, read as another program reads it.
double storedWage(const fs::path& file) {
    double wage = 0;
    sqlite3* reader = nullptr;
    sqlite3_open_v2(file.c_str(), &reader, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_exec(
        reader, "SELECT averageWage FROM app_settings ORDER BY pk LIMIT 1",
        [](void* into, int, char** values, char**) {
            *static_cast<double*>(into) = values[0] ? std::stod(values[0]) : 0;
            return 0;
        },
        &wage, nullptr);
    sqlite3_close(reader);
    return wage;
}

/// The built application in a home of its own, ended by signals as a logout or a terminal ends it.
class EndingSignals : public ::testing::Test {
protected:
    std::map<std::string, std::string> environment() const { return userEnvironment(home.path(), runtime.path()); }
    fs::path store() const { return home.path() / ".local/share/Norvane/norvane.store"; }

    /// The counter's process id, once it runs.
    pid_t waitForTheCounter() const {
        pid_t counter = 0;
        EXPECT_TRUE(waitUntil([&] { return fs::exists(running()); }));
        std::ifstream(running()) >> counter;
        return counter;
    }
    /// A counter found first, as `go install` leaves it, that says it runs and runs until it is
    /// killed: a stop (SIGTERM to its group) is only noted beside it. It waits with `wait`, which a
    /// signal ends, since the shell runs a trap only once the command in front has ended.
    void installCounter() const {
        const auto script =
            home.writeFile("go/bin/scc", "#!/bin/sh\ntrap \"echo > '" + stopped().string() + "'\" TERM\necho $$ > '" +
                                             running().string() + ".new'\nmv '" + running().string() + ".new' '" +
                                             running().string() + "'\nwhile :; do sleep 1000 & wait $!; done\n");
        fs::permissions(script, fs::perms::owner_all);
    }
    fs::path running() const { return home.path() / "counter-running"; }
    fs::path stopped() const { return home.path() / "counter-stopped"; }

    TemporaryFolder home;
    TemporaryFolder runtime;
};

// A second signal, while the ending of the first waits for a collection whose counter does not stop,
// meets the handler that was there before: it stops the counter's group again and ends the program
// by the signal, exit 143 in a shell, as whoever sent both expects.
TEST_F(EndingSignals, ASecondSignalEndsTheProgramByTheSignal) {
    installCounter();
    GitTestRepository project;
    project.writeFile("main.cpp", "int main() {}\n");
    project.commit("Initial commit", utc("2024-01-10T12:00:00Z"));
    {
        // An add killed as it counts: the start's collection finishes it.
        ProgramProcess add("norvane", {"add", "demo", project.pathString()}, environment());
        const pid_t counter = waitForTheCounter();
        ::kill(add.id(), SIGKILL);
        ::kill(-counter, SIGKILL);
        fs::remove(running());
    }

    ProgramProcess application("Norvane", {}, environment());
    // The start's collection begins three seconds after the start.
    const pid_t counter = waitForTheCounter();
    ::kill(application.id(), SIGTERM);
    EXPECT_TRUE(waitUntil([&] { return fs::exists(stopped()); })) << "the ending stops the counter";
    ::kill(application.id(), SIGTERM);
    const int status = application.waitForEnd();
    ::kill(-counter, SIGKILL);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
}

// While another program keeps the store locked, the application waits in a window of its own: a
// signal there ends it as Quit does, not as a store that cannot be opened ends it (exit 1).
TEST_F(EndingSignals, ASignalWhileAnotherProgramKeepsTheStoreEndsTheProgramAsQuitDoes) {
    sqlite3* holder = keepStoreAlone(store(), environment());
    const auto errors = home.path() / "errors.txt";

    ProgramProcess application("Norvane", {}, environment(), errors);
    // The window shows once a first try has waited the store's busy time out: ten seconds, which
    // no other state of the program stands in for.
    EXPECT_TRUE(waitUntil([&] { return readFile(errors).find("Waiting for the store") != std::string::npos; }));
    ::kill(application.id(), SIGTERM);
    const int status = application.waitForEnd();
    sqlite3_close(holder);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << readFile(errors);
}

// A signal while the first try at the store still waits for the lock ends that wait too: the
// program ends at once rather than when the try has waited its time out, and shows no window.
TEST_F(EndingSignals, ASignalAsTheStartWaitsForALockedStoreEndsItWithoutWaitingItOut) {
    sqlite3* holder = keepStoreAlone(store(), environment());
    const auto errors = home.path() / "errors.txt";

    ProgramProcess application("Norvane", {}, environment(), errors);
    EXPECT_TRUE(waitUntil([&] { return hasOpen(application.id(), store()); }));
    // The try waits ten seconds for the lock, from about now: a signal ends the wait at once.
    const auto tryBegan = std::chrono::steady_clock::now();
    ::kill(application.id(), SIGTERM);
    const int status = application.waitForEnd();
    const auto ended = std::chrono::steady_clock::now();
    sqlite3_close(holder);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << readFile(errors);
    EXPECT_LT(ended - tryBegan, std::chrono::seconds(5)) << "the try waited its time out";
    EXPECT_EQ(readFile(errors).find("Waiting for the store"), std::string::npos) << "the waiting window showed";
}

// Found with a reader that held the store (a backup program, an indexer) as the window ended: the
// window left its last writes in the log after the reader let go, and a backup made then by copying
// the store file alone lacked them. The reader here lets go once the ending has begun to close the
// store, or once the program has ended.
TEST_F(EndingSignals, TheWindowLeavesTheLogEmptyWhenAReaderLetsGoAsItEnds) {
    const TemporaryFolder project;
    runTool({"add", "demo", project.path().string()}, environment());
    home.writeFile(".config/Norvane/Norvane.conf", "[General]\nhasCompletedOnboarding=true\naverageWage=187000\n");
    std::optional<StoreHolder> reader(std::in_place, store(), nullptr, "BEGIN; SELECT count(*) FROM sqlite_master",
                                      StoreHolder::Access::readOnly);

    ProgramProcess application("Norvane", {}, environment());
    // The start stores the salary, which the reader keeps in the log.
    ASSERT_TRUE(waitUntil([&] { return storedWage(store()) == 187000.0; }));
    ::kill(application.id(), SIGTERM);
    // Its window's thread pauses between tries at the log once the ending has hidden the windows.
    EXPECT_TRUE(waitUntil([&] { return isSleeping(application.id()) || !hasOpen(application.id(), store()); }));
    reader.reset();
    const int status = application.waitForEnd();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::error_code gone;
    const auto logSize = fs::file_size(store().string() + "-wal", gone);
    EXPECT_EQ(gone ? 0U : logSize, 0U) << "the window's last write stayed in the log";

    const auto copy = home.path() / "backup.store";
    fs::copy_file(store(), copy);
    EXPECT_EQ(storedWage(copy), 187000.0) << "a copy of the store file alone";
}

} // namespace
} // namespace norvane::testing
