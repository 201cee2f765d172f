#include "platform/ProcessRunner.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <thread>

namespace norvane::platform {
namespace {

ProcessResult runShell(const std::string& script, std::optional<std::string> input = std::nullopt) {
    ProcessRequest request;
    request.executable = "/bin/sh";
    request.arguments = {"-c", script};
    request.standardInput = std::move(input);
    return PosixProcessRunner().run(request);
}

TEST(ProcessRunner, ReportsExitCodesAndSignals) {
    EXPECT_TRUE(runShell("exit 0").succeeded());
    const ProcessResult failed = runShell("echo out; echo err >&2; exit 3");
    EXPECT_TRUE(failed.started());
    EXPECT_FALSE(failed.succeeded());
    EXPECT_EQ(failed.exitStatus, 3);
    EXPECT_EQ(failed.standardOutput, "out\n");
    EXPECT_EQ(failed.standardError, "err\n");
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
}

TEST(ProcessRunner, FeedsStandardInputWhileReadingOutput) {
    std::string input;
    for (int line = 0; line < 200000; ++line) {
        input += "line " + std::to_string(line) + "\n";
    }
    ProcessRequest request;
    request.executable = "cat";
    request.standardInput = input;
    const ProcessResult result = PosixProcessRunner().run(request);
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(result.standardOutput, input);

    EXPECT_EQ(runShell("wc -c", "").standardOutput, "0\n");
}

TEST(ProcessRunner, SurvivesAChildThatStopsReadingItsInput) {
    const ProcessResult result = runShell("exit 4", std::string(5000000, 'x'));
    EXPECT_EQ(result.exitStatus, 4);
}

TEST(ProcessRunner, ChildWithoutInputReadsEndOfFile) { EXPECT_EQ(runShell("cat; echo done").standardOutput, "done\n"); }

TEST(ProcessRunner, PassesArgumentsUnchanged) {
    const std::vector<std::string> arguments = {"two words", "\"double\"", "'single'",   "line\nbreak", "",
                                                "$HOME",     "*",          "; rm -rf x", "back\\slash"};
    ProcessRequest request;
    request.executable = "/usr/bin/printf";
    request.arguments = {"[%s]"};
    request.arguments.insert(request.arguments.end(), arguments.begin(), arguments.end());
    const ProcessResult result = PosixProcessRunner().run(request);
    ASSERT_TRUE(result.succeeded()) << result.standardError;
    std::string expected;
    for (const std::string& argument : arguments) {
        expected += "[" + argument + "]";
    }
    EXPECT_EQ(result.standardOutput, expected);
}

TEST(ProcessRunner, RunsInTheWorkingDirectory) {
    const testing::TemporaryFolder folder;
    ProcessRequest request;
    request.executable = "pwd";
    request.arguments = {"-P"};
    request.workingDirectory = folder.path();
    EXPECT_EQ(PosixProcessRunner().run(request).standardOutput, folder.path().string() + "\n");

    request.workingDirectory = folder.path() / "missing";
    const ProcessResult missing = PosixProcessRunner().run(request);
    EXPECT_EQ(missing.startError, "No such file or directory: " + (folder.path() / "missing").string());
}

TEST(ProcessRunner, InheritsReplacesOrOverridesTheEnvironment) {
    const testing::ScopedEnvironment inherited("NORVANE_TEST_INHERITED", "yes");
    const testing::ScopedEnvironment overridden("NORVANE_TEST_OVERRIDDEN", "old");
    ProcessRequest request;
    request.executable = "/usr/bin/env";
    const std::string inheritedOutput = PosixProcessRunner().run(request).standardOutput;
    EXPECT_NE(inheritedOutput.find("NORVANE_TEST_INHERITED=yes\n"), std::string::npos);

    request.environmentOverrides = {{"NORVANE_TEST_OVERRIDDEN", "new"}, {"NORVANE_TEST_ADDED", "a=b"}};
    const std::string overriddenOutput = PosixProcessRunner().run(request).standardOutput;
    EXPECT_NE(overriddenOutput.find("NORVANE_TEST_INHERITED=yes\n"), std::string::npos);
    EXPECT_NE(overriddenOutput.find("NORVANE_TEST_OVERRIDDEN=new\n"), std::string::npos);
    EXPECT_NE(overriddenOutput.find("NORVANE_TEST_ADDED=a=b\n"), std::string::npos);
    EXPECT_EQ(overriddenOutput.find("NORVANE_TEST_OVERRIDDEN=old"), std::string::npos);

    request.environment = std::map<std::string, std::string>{{"ALPHA", "1"}, {"NORVANE_TEST_OVERRIDDEN", "x"}};
    EXPECT_EQ(PosixProcessRunner().run(request).standardOutput,
              "ALPHA=1\nNORVANE_TEST_ADDED=a=b\nNORVANE_TEST_OVERRIDDEN=new\n");

    request.environmentOverrides = {};
    request.environment = std::map<std::string, std::string>{{"ALPHA", "1"}, {"BETA", "two words"}};
    EXPECT_EQ(PosixProcessRunner().run(request).standardOutput, "ALPHA=1\nBETA=two words\n");
}

TEST(ProcessRunner, ReportsAProgramThatCannotStart) {
    ProcessRequest request;
    request.executable = "/bin/nope";
    const ProcessResult missing = PosixProcessRunner().run(request);
    EXPECT_FALSE(missing.started());
    EXPECT_FALSE(missing.succeeded());
    EXPECT_EQ(missing.startError, "No such file or directory: /bin/nope");

    request.executable = "norvane-no-such-program";
    EXPECT_EQ(PosixProcessRunner().run(request).startError, "No such file or directory: norvane-no-such-program");

    const testing::TemporaryFolder folder;
    request.executable = folder.writeFile("not-executable", "#!/bin/sh\n").string();
    EXPECT_EQ(PosixProcessRunner().run(request).startError, "Permission denied: " + request.executable);
}

TEST(ProcessRunner, ChildrenInheritOnlyTheirStandardStreams) {
    // The listing holds 0-2 and the descriptor that ls opened to read the folder.
    ProcessRequest request;
    request.executable = "ls";
    request.arguments = {"/proc/self/fd"};
    request.standardInput = "";
    EXPECT_EQ(PosixProcessRunner().run(request).standardOutput, "0\n1\n2\n3\n");
}

TEST(ProcessRunner, RunsFromManyThreadsAtOnce) {
    // A child that inherited another run's input pipe would never see the end of its input.
    std::vector<std::string> outputs(8);
    std::vector<std::thread> threads;
    for (std::size_t index = 0; index < outputs.size(); ++index) {
        threads.emplace_back([index, &outputs] {
            for (int round = 0; round < 10; ++round) {
                ProcessRequest request;
                request.executable = "cat";
                request.standardInput = std::string(100000, static_cast<char>('a' + index));
                outputs[index] += defaultProcessRunner().run(request).standardOutput;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (std::size_t index = 0; index < outputs.size(); ++index) {
        EXPECT_EQ(outputs[index], std::string(1000000, static_cast<char>('a' + index)));
    }
}

} // namespace
} // namespace norvane::platform
