// Stopping a program stops what it started: a child that runs past its time limit, a quitting
// program and a termination signal each end the child's whole process group.

#include "platform/ChildProcesses.h"
#include "platform/ProcessRunner.h"

#include "tests/support/ProcessWatch.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include <unistd.h>

namespace norvane::platform {
namespace {

using testing::readFile;
using testing::waitForLine;
using testing::waitUntilEnded;

/// A shell that notes its own and a background child's process ids in `file`, then waits.
ProcessRequest sleeperNotingIn(const std::filesystem::path& file) {
    return {.executable = "/bin/sh", .arguments = {"-c", "sleep 300 & echo $$ $! > '" + file.string() + "'; wait"}};
}

std::pair<pid_t, pid_t> notedIds(const std::filesystem::path& file) {
    pid_t shell = 0;
    pid_t background = 0;
    std::istringstream(waitForLine(file)) >> shell >> background;
    return {shell, background};
}

TEST(ChildProcesses, AChildPastItsTimeLimitEndsWithAllThatItStarted) {
    const testing::TemporaryFolder folder;
    auto request = sleeperNotingIn(folder.path() / "ids");
    request.timeLimit = std::chrono::milliseconds(500);

    const ProcessResult result = PosixProcessRunner().run(request);

    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 128 + SIGKILL);
    EXPECT_TRUE(waitUntilEnded(notedIds(folder.path() / "ids").second));
    // Closing its outputs does not take a child past its limit.
    const ProcessResult silent = PosixProcessRunner().run({.executable = "/bin/sh",
                                                           .arguments = {"-c", "exec >&- 2>&-; exec sleep 300"},
                                                           .timeLimit = std::chrono::milliseconds(500)});
    EXPECT_TRUE(silent.timedOut);
    // Nor does an output long enough to be read in batches that it goes on writing.
    const ProcessResult chatty =
        PosixProcessRunner().run({.executable = "/bin/sh",
                                  .arguments = {"-c", "head -c 1000000 /dev/zero; while :; do echo x; done"},
                                  .timeLimit = std::chrono::milliseconds(500),
                                  .standardOutputReceiver = [](std::string_view) {}});
    EXPECT_TRUE(chatty.timedOut);
    EXPECT_FALSE(PosixProcessRunner().run({.executable = "/bin/true", .timeLimit = std::chrono::minutes(1)}).timedOut);
}

TEST(ChildProcesses, AStopEndsTheRunningChildrenAndStartsNoMoreUntilItIsLifted) {
    const testing::TemporaryFolder folder;
    const auto ids = folder.path() / "ids";
    const auto starts = [] { return PosixProcessRunner().run({.executable = "/bin/true"}).started(); };
    ProcessResult stopped;
    std::thread running([&] { stopped = PosixProcessRunner().run(sleeperNotingIn(ids)); });
    const pid_t background = notedIds(ids).second;
    {
        const ChildProcesses::StopAll stop;
        running.join();
        EXPECT_EQ(stopped.exitStatus, 128 + SIGTERM);
        EXPECT_TRUE(waitUntilEnded(background));
        { const ChildProcesses::StopAll another; }
        EXPECT_FALSE(starts()) << "while one stop lasts";
    }
    EXPECT_TRUE(starts()) << "once every stop is lifted";
}

TEST(ChildProcesses, ATerminationSignalEndsTheChildrenThenTheProgram) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const testing::TemporaryFolder folder;
        const auto ids = folder.path() / "ids";
        EXPECT_EXIT(
            {
                // As a program started from a shell has it, whoever started this test (nohup ignores
                // SIGHUP, a shell without job control SIGINT for what it starts in the background).
                std::signal(signal, SIG_DFL);
                ChildProcesses::stopOnTerminationSignals();
                std::thread running([&] { PosixProcessRunner().run(sleeperNotingIn(ids)); });
                notedIds(ids);
                kill(getpid(), signal);
                running.join();
            },
            ::testing::KilledBySignal(signal), "");
        const auto [shell, background] = notedIds(ids);
        EXPECT_TRUE(waitUntilEnded(shell)) << strsignal(signal);
        EXPECT_TRUE(waitUntilEnded(background)) << strsignal(signal);
    }
}

// Nothing runs in a program killed by SIGKILL: the kernel ends what it started, as it ends.
TEST(ChildProcesses, AKilledProgramsChildrenEndWithIt) {
    const testing::TemporaryFolder folder;
    const auto ids = folder.path() / "ids";
    EXPECT_EXIT(
        {
            std::thread running([&] { PosixProcessRunner().run(sleeperNotingIn(ids)); });
            notedIds(ids);
            kill(getpid(), SIGKILL);
            running.join();
        },
        ::testing::KilledBySignal(SIGKILL), "");
    const auto [shell, background] = notedIds(ids);
    EXPECT_TRUE(waitUntilEnded(shell));
    // What the child started in turn is its own to end; here its group goes with it.
    kill(-shell, SIGKILL);
    EXPECT_TRUE(waitUntilEnded(background));
}

// The convention that nohup relies on: a program started with a signal ignored leaves it ignored,
// and so do the children it starts.
TEST(ChildProcesses, ASignalIgnoredFromTheStartStaysIgnoredByTheProgramAndItsChildren) {
    for (const int signal : {SIGINT, SIGHUP}) {
        EXPECT_EXIT(
            {
                std::signal(signal, SIG_IGN);
                ChildProcesses::stopOnTerminationSignals();
                kill(getpid(), signal);
                const auto child = PosixProcessRunner().run(
                    {.executable = "/bin/sh",
                     .arguments = {"-c", "kill -" + std::to_string(signal) + " $$; echo alive"}});
                std::exit(child.standardOutput == "alive\n" ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    }
}

// Found with the tool started as a service manager starts it, SIGPIPE ignored: git and the counter
// ran with it ignored too. Started with SIGCHLD ignored, the tool learned no child's exit status.
TEST(ChildProcesses, AChildStartsWithEverySignalButNohupsAtItsDefaultAndNoneBlocked) {
    EXPECT_EXIT(
        {
            for (const int signal : {SIGPIPE, SIGCHLD, SIGTERM, SIGXFSZ, SIGHUP}) std::signal(signal, SIG_IGN);
            sigset_t blocked;
            sigemptyset(&blocked);
            sigaddset(&blocked, SIGUSR1);
            pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
            const auto child = PosixProcessRunner().run(
                {.executable = "/bin/grep", .arguments = {"-E", "^Sig(Blk|Ign)", "/proc/self/status"}});
            std::cerr << "status " << child.exitStatus << '\n' << child.standardOutput;
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "status 0\nSigBlk:\t0000000000000000\nSigIgn:\t0000000000000001\n");
}

} // namespace
} // namespace norvane::platform
