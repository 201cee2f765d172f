#include "platform/ProcessRunner.h"

#include "tests/support/TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>
#include <tuple>

namespace norvane::platform {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

ProcessResult run(const ProcessRequest& request) { return PosixProcessRunner().run(request); }

ProcessResult runShell(const std::string& script, std::optional<std::string> input = std::nullopt) {
    return run({.executable = "/bin/sh", .arguments = {"-c", script}, .standardInput = std::move(input)});
}

TEST(ProcessRunner, ReportsExitCodesAndSignals) {
    EXPECT_TRUE(runShell("exit 0").succeeded());
    const ProcessResult failed = runShell("echo out; echo err >&2; exit 3");
    EXPECT_EQ(std::tuple(failed.started(), failed.succeeded(), failed.exitStatus, failed.standardOutput,
                         failed.standardError),
              std::tuple(true, false, 3, "out\n", "err\n"));
    EXPECT_EQ(runShell("kill -TERM $$").exitStatus, 128 + 15);
    EXPECT_EQ(runShell("kill -KILL $$").exitStatus, 128 + 9);
}

TEST(ProcessRunner, DrainsMegabytesOnBothPipesAtOnce) {
    // Errors first: a runner that read standard output to its end before standard error would hang.
    const ProcessResult result = runShell("head -c 3000000 /dev/zero | tr '\\0' e >&2;"
                                          "head -c 4000000 /dev/zero | tr '\\0' o;"
                                          "head -c 1000000 /dev/zero | tr '\\0' e >&2");
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(result.standardOutput, std::string(4000000, 'o'));
    EXPECT_EQ(result.standardError, std::string(4000000, 'e'));

    // A receiver gets standard output in pieces, in order, while the child still writes.
    std::string received;
    int pieces = 0;
    const ProcessResult streamed = run({.executable = "/bin/sh",
                                        .arguments = {"-c", "head -c 3000000 /dev/zero | tr '\\0' o; echo e >&2"},
                                        .standardOutputReceiver = [&](std::string_view piece) {
                                            received.append(piece);
                                            ++pieces;
                                        }});
    ASSERT_TRUE(streamed.succeeded());
    EXPECT_EQ(
        std::tuple(received.size(), received.find_first_not_of('o'), streamed.standardOutput, streamed.standardError),
        std::tuple(3000000U, std::string::npos, "", "e\n"));
    EXPECT_GT(pieces, 1);
}

TEST(ProcessRunner, FeedsStandardInputWhileReadingOutput) {
    std::string input;
    for (int line = 0; line < 200000; ++line) input += "line " + std::to_string(line) + "\n";
    const ProcessResult result = run({.executable = "cat", .standardInput = input});
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(result.standardOutput, input);
    EXPECT_EQ(runShell("wc -c", "").standardOutput, "0\n");
    EXPECT_EQ(runShell("cat; echo done").standardOutput, "done\n") << "no input reads as its end";
    EXPECT_EQ(runShell("exit 4", std::string(5000000, 'x')).exitStatus, 4) << "a child that stops reading";
}

TEST(ProcessRunner, PassesArgumentsUnchanged) {
    const std::vector<std::string> arguments = {"two words", "\"double\"", "'single'",   "line\nbreak", "",
                                                "$HOME",     "*",          "; rm -rf x", "back\\slash"};
    ProcessRequest request{.executable = "/usr/bin/printf", .arguments = {"[%s]"}};
    request.arguments.insert(request.arguments.end(), arguments.begin(), arguments.end());
    const ProcessResult result = run(request);
    ASSERT_TRUE(result.succeeded()) << result.standardError;
    std::string expected;
    for (const std::string& argument : arguments) expected += "[" + argument + "]";
    EXPECT_EQ(result.standardOutput, expected);
}

TEST(ProcessRunner, RunsInTheWorkingDirectory) {
    const testing::TemporaryFolder folder;
    ProcessRequest request{.executable = "pwd", .arguments = {"-P"}, .workingDirectory = folder.path()};
    EXPECT_EQ(run(request).standardOutput, folder.path().string() + "\n");

    request.workingDirectory = folder.path() / "missing";
    EXPECT_EQ(run(request).startError, "No such file or directory: " + (folder.path() / "missing").string());
}

TEST(ProcessRunner, InheritsReplacesOverridesOrRemovesTheEnvironment) {
    const testing::ScopedEnvironment inherited("NORVANE_TEST_INHERITED", "yes");
    const testing::ScopedEnvironment overridden("NORVANE_TEST_OVERRIDDEN", "old");
    ProcessRequest request{.executable = "/usr/bin/env"};
    EXPECT_THAT(run(request).standardOutput, HasSubstr("NORVANE_TEST_INHERITED=yes\n"));

    request.environmentRemovals = {"NORVANE_TEST_INHERITED"};
    EXPECT_THAT(run(request).standardOutput,
                AllOf(Not(HasSubstr("NORVANE_TEST_INHERITED")), HasSubstr("NORVANE_TEST_OVERRIDDEN=old\n")));

    request.environmentOverrides = {{"NORVANE_TEST_OVERRIDDEN", "new"}, {"NORVANE_TEST_ADDED", "a=b"}};
    EXPECT_THAT(run(request).standardOutput,
                AllOf(Not(HasSubstr("NORVANE_TEST_INHERITED")), HasSubstr("NORVANE_TEST_OVERRIDDEN=new\n"),
                      HasSubstr("NORVANE_TEST_ADDED=a=b\n"), Not(HasSubstr("NORVANE_TEST_OVERRIDDEN=old"))));

    request.environment = std::map<std::string, std::string>{
        {"ALPHA", "1"}, {"NORVANE_TEST_OVERRIDDEN", "x"}, {"NORVANE_TEST_INHERITED", "given"}};
    EXPECT_EQ(run(request).standardOutput, "ALPHA=1\nNORVANE_TEST_ADDED=a=b\nNORVANE_TEST_OVERRIDDEN=new\n");
}

TEST(ProcessRunner, ReportsAProgramThatCannotStart) {
    const ProcessResult missing = run({.executable = "/bin/nope"});
    EXPECT_FALSE(missing.started() || missing.succeeded());
    EXPECT_EQ(missing.startError, "No such file or directory: /bin/nope");
    EXPECT_EQ(run({.executable = "norvane-no-such-program"}).startError,
              "No such file or directory: norvane-no-such-program");

    const testing::TemporaryFolder folder;
    const auto notExecutable = folder.writeFile("not-executable", "#!/bin/sh\n").string();
    EXPECT_EQ(run({.executable = notExecutable}).startError, "Permission denied: " + notExecutable);
}

TEST(ProcessRunner, ChildrenInheritOnlyTheirStandardStreams) {
    // The listing holds 0-2 and the descriptor that ls opened to read the folder.
    EXPECT_EQ(run({.executable = "ls", .arguments = {"/proc/self/fd"}, .standardInput = ""}).standardOutput,
              "0\n1\n2\n3\n");
}

TEST(ProcessRunner, RunsFromManyThreadsAtOnce) {
    // A child that inherited another run's input pipe would never see the end of its input.
    std::vector<std::string> outputs(8);
    std::vector<std::thread> threads;
    for (std::size_t index = 0; index < outputs.size(); ++index) {
        threads.emplace_back([index, &outputs] {
            for (int round = 0; round < 10; ++round) {
                const std::string input(100000, static_cast<char>('a' + index));
                outputs[index] +=
                    defaultProcessRunner().run({.executable = "cat", .standardInput = input}).standardOutput;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (std::size_t index = 0; index < outputs.size(); ++index) {
        EXPECT_EQ(outputs[index], std::string(1000000, static_cast<char>('a' + index)));
    }
}

} // namespace
} // namespace norvane::platform
