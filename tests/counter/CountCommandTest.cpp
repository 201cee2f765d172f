#include "platform/ProcessRunner.h"
#include "tests/counter/SampleTree.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvane::counter {
namespace {

using norvane::testing::TemporaryFolder;
namespace fs = std::filesystem;

/// Runs the built norvane-count with `arguments` in `workingFolder`.
platform::ProcessResult runCount(const std::vector<std::string>& arguments,
                                 const fs::path& workingFolder = fs::current_path()) {
    const auto result =
        platform::PosixProcessRunner().run({.executable = norvane::testing::builtProgram("norvane-count"),
                                            .arguments = arguments,
                                            .workingDirectory = workingFolder});
    EXPECT_TRUE(result.started()) << result.startError.value_or("");
    return result;
}

TEST(CountCommand, PrintsTheCalibratedRowsForTheSampleTree) {
    const TemporaryFolder tree;
    testing::writeSampleTree(tree.path());
    const auto result = runCount({"--format", "json", tree.path().string()});
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_EQ(result.standardError, "");
    EXPECT_EQ(nlohmann::json::parse(result.standardOutput), nlohmann::json::parse(testing::kSampleTreeRows));
}

TEST(CountCommand, CountsASingleFileNamesStartingWithADashAndEmptyFolders) {
    const TemporaryFolder tree;
    tree.writeFile("-tool.sh", "#!/bin/sh\necho hi\n");
    fs::create_directory(tree.path() / "empty");
    // "--" ends the options, so what follows is a path whatever it starts with.
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"--format", "json", "./-tool.sh"},
                                                                       {"--format", "json", "--", "-tool.sh"},
                                                                       {"--format=json", "--", "-tool.sh"}}) {
        const auto result = runCount(arguments, tree.path());
        ASSERT_EQ(result.exitStatus, 0) << result.standardError;
        EXPECT_EQ(nlohmann::json::parse(result.standardOutput),
                  nlohmann::json::parse(R"([{"Name": "Shell", "Count": 1, "Lines": 2, "Code": 1, "Comment": 1,
                                             "Blank": 0, "Complexity": 0}])"));
    }
    const auto empty = runCount({"--format", "json", "empty"}, tree.path());
    EXPECT_EQ(std::tuple(empty.exitStatus, nlohmann::json::parse(empty.standardOutput)),
              std::tuple(0, nlohmann::json::array()));
}

// A line that goes on past the reader's window is kept whole up to 1 MB; a longer one fails the
// count, unless a NUL has ended its pattern before. A file of one 2 MB line fills the window before
// its line ends.
TEST(CountCommand, AnIgnoreLineLongerThanAMegabyteFailsTheCountWithTheFilesName) {
    const std::string before(1000, '\n');
    const std::string megabyte(1024 * 1024, 'a');
    struct Case {
        std::string ignoreFile;
        bool applied;
    };
    const Case cases[] = {
        {before + megabyte + "\n*.c\n", true},
        {before + megabyte + "a\n*.c\n", false},
        {megabyte + megabyte, false},
        {before + "*.c" + std::string(1, '\0') + megabyte + megabyte + "\n", true},
    };
    for (const auto& c : cases) {
        const TemporaryFolder tree;
        const auto ignoreFile = tree.writeFile(".gitignore", c.ignoreFile);
        tree.writeFile("a.c", "int a;\n");
        const auto result = runCount({"--format", "json", tree.path().string()});
        if (c.applied) {
            EXPECT_EQ(std::tuple(result.exitStatus, result.standardError), std::tuple(0, std::string()));
            EXPECT_EQ(result.standardOutput.find("\"C\""), std::string::npos) << result.standardOutput;
            continue;
        }
        EXPECT_EQ(
            std::tuple(result.exitStatus, result.standardOutput, result.standardError),
            std::tuple(1, std::string(),
                       "norvane-count: cannot apply " + ignoreFile.string() + ": it holds a line longer than 1 MB\n"));
    }
}

// The help says the bounds that the count holds to, which the tests of the library give smaller.
TEST(CountCommand, HelpPrintsTheUsageAndTheBoundsAndSucceeds) {
    for (const char* help : {"--help", "-h"}) {
        const auto result = runCount({help});
        EXPECT_EQ(result.exitStatus, 0) << help;
        EXPECT_TRUE(result.standardOutput.starts_with("usage: norvane-count --format json [--] PATH\n")) << help;
        EXPECT_NE(result.standardOutput.find("lines may be 1 MB long, and the\npatterns in force in a folder, its own "
                                             "and those of the folders above it, may take 96 MB\n"),
                  std::string::npos)
            << result.standardOutput;
        EXPECT_EQ(result.standardError, "") << help;
    }
}

TEST(CountCommand, VersionPrintsTheNameAndTheVersion) {
    const auto result = runCount({"--version"});
    EXPECT_EQ(std::tuple(result.exitStatus, result.standardOutput, result.standardError),
              std::tuple(0, std::string("norvane-count 0.1.0\n"), std::string()));
}

// A pipe or a device holds no file's text: a count of it might never end, or never begin.
TEST(CountCommand, APipeOrADeviceIsNoFileToCount) {
    const TemporaryFolder scratch;
    const std::string fifo = (scratch.path() / "pipe.c").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {{fifo, "a FIFO"}, {"/dev/zero", "a character device"}};
    for (const auto& [path, kind] : cases) {
        const auto result = runCount({"--format", "json", path});
        EXPECT_EQ(std::tuple(result.exitStatus, result.standardOutput, result.standardError),
                  std::tuple(1, std::string(),
                             "norvane-count: cannot count " + path + ": it is " + kind + ", not a file or a folder\n"));
    }
}

// As `norvane-count --help > /dev/full` runs it: what could not be written fails, and says why.
TEST(CountCommand, AnOutputThatCannotBeWrittenFailsSayingWhy) {
    const TemporaryFolder tree;
    const auto file = tree.writeFile("a.c", "int a;\n");
    for (const auto& asked : {std::vector<std::string>{"--help"}, {"--version"}, {file.string()}}) {
        std::vector<std::string> arguments{"-c", "exec \"$0\" \"$@\" > /dev/full",
                                           norvane::testing::builtProgram("norvane-count").string()};
        arguments.insert(arguments.end(), asked.begin(), asked.end());
        const auto result = platform::PosixProcessRunner().run({.executable = "/bin/sh", .arguments = arguments});
        EXPECT_EQ(
            std::tuple(result.exitStatus, result.standardError),
            std::tuple(1, std::string("norvane-count: cannot write to standard output: No space left on device\n")))
            << asked.front();
    }
}

// A name that could not be read is written as git writes a path, so that a line break or bytes of
// no text in it cannot make a line of their own: here the end of a path longer than the system
// allows, the middle of which the message leaves out.
TEST(CountCommand, ANameInAMessageIsQuotedAsGitQuotesIt) {
    const TemporaryFolder tree;
    auto deep = tree.path();
    while (deep.string().size() < PATH_MAX - 250) deep /= std::string(200, 'd');
    fs::create_directories(deep);
    // Long enough for the whole path to pass the limit, however long the temporary folder's path.
    const std::string name = std::string(220, 'n') + "x.c\nnorvane-count: counted\xFF.c";
    const int folder = ::open(deep.c_str(), O_DIRECTORY | O_RDONLY);
    ASSERT_GE(folder, 0);
    const int file = ::openat(folder, name.c_str(), O_CREAT | O_WRONLY, 0644);
    ::close(file);
    const auto result = runCount({"--format", "json", tree.path().string()});
    ::unlinkat(folder, name.c_str(), 0);
    ::close(folder);
    ASSERT_GE(file, 0);
    const std::string path = (deep / name).string();
    EXPECT_EQ(std::tuple(result.exitStatus, result.standardError),
              std::tuple(0, "skipped 1 file that could not be read, such as \"" + path.substr(0, 60) + "..." +
                                std::string(71, 'n') + "x.c\\nnorvane-count: counted\\377.c\" (File name too long)\n"));
}

TEST(CountCommand, APathWhoseLinksLoopIsSaidToLoop) {
    const TemporaryFolder scratch;
    fs::create_symlink(scratch.path() / "b", scratch.path() / "a");
    fs::create_symlink(scratch.path() / "a", scratch.path() / "b");
    const std::string loop = (scratch.path() / "a").string();
    const auto result = runCount({"--format", "json", loop});
    EXPECT_EQ(std::tuple(result.exitStatus, result.standardOutput, result.standardError),
              std::tuple(1, std::string(), "norvane-count: the symbolic links of " + loop + " lead round in a loop\n"));
}

TEST(CountCommand, BadArgumentsAndMissingPathsFailWithAMessage) {
    const TemporaryFolder scratch;
    const std::string missing = (scratch.path() / "no-such-folder").string();
    EXPECT_NE(runCount({"--format", "json", missing}).standardError.find(missing), std::string::npos);
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"--format", "json", missing},
                                                                       {"--verbose", "--format", "json", "."},
                                                                       {"--format", "csv", "."},
                                                                       {"--format=csv", "."},
                                                                       {"--format=", "."},
                                                                       {"--format"},
                                                                       {},
                                                                       {"a", "b"}}) {
        const auto result = runCount(arguments, scratch.path());
        EXPECT_NE(result.exitStatus, 0);
        EXPECT_EQ(result.standardOutput, "");
        EXPECT_NE(result.standardError, "");
    }
    // A word beside --help or --version is refused as any mistake of usage is, with the usage.
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--version", "extra"}, {"--help", "--bogus"}, {"--format", "json", ".", "-h"}}) {
        const auto result = runCount(arguments, scratch.path());
        EXPECT_EQ(std::tuple(result.exitStatus, result.standardOutput), std::tuple(2, std::string()))
            << arguments.front();
        EXPECT_NE(result.standardError.find("takes no other arguments\nusage: norvane-count"), std::string::npos)
            << result.standardError;
    }
    // A format other than JSON is a mistake of usage: the word of it, the usage, status 2.
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"--format=yaml", "."}, {"--format", "yaml", "."}}) {
        const auto yaml = runCount(arguments, scratch.path());
        EXPECT_EQ(std::tuple(yaml.exitStatus, yaml.standardOutput, yaml.standardError),
                  std::tuple(2, std::string(),
                             std::string("norvane-count: unsupported format: yaml (only json)\n"
                                         "usage: norvane-count --format json [--] PATH\n"
                                         "       norvane-count --version\n"
                                         "       norvane-count --help\n")));
    }
    const auto dashed = runCount({"--format", "json", "--", "-x"}, scratch.path());
    EXPECT_EQ(std::tuple(dashed.exitStatus, dashed.standardError),
              std::tuple(1, std::string("norvane-count: no such file or folder: -x\n")));
}

} // namespace
} // namespace norvane::counter
