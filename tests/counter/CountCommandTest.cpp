#include "tests/counter/SampleTree.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace norvane::counter {
namespace {

using norvane::testing::TemporaryFolder;
namespace fs = std::filesystem;

struct CommandResult {
    int exitStatus = -1;
    std::string output;
    std::string errors;
};

std::string readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

// Runs the built norvane-count with `arguments` in `workingFolder`, its outputs going to files in
// `scratch`.
CommandResult runCount(const std::vector<std::string>& arguments, const fs::path& scratch,
                       const fs::path& workingFolder = fs::current_path()) {
    const char* binFolder = std::getenv("NORVANE_TEST_BIN");
    if (binFolder == nullptr) {
        ADD_FAILURE() << "NORVANE_TEST_BIN is not set";
        return {};
    }
    const std::string program = (fs::path(binFolder) / "norvane-count").string();
    const std::string outputPath = (scratch / "stdout").string();
    const std::string errorPath = (scratch / "stderr").string();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    pid_t child = 0;
    const int started = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) {
        ADD_FAILURE() << "cannot start " << program;
        return {};
    }
    int status = 0;
    waitpid(child, &status, 0);
    return CommandResult{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readWhole(outputPath), readWhole(errorPath)};
}

TEST(CountCommand, PrintsTheCalibratedRowsForTheSampleTree) {
    const TemporaryFolder scratch;
    const TemporaryFolder tree;
    testing::writeSampleTree(tree.path());
    const auto result = runCount({"--format", "json", tree.path().string()}, scratch.path());
    EXPECT_EQ(result.exitStatus, 0) << result.errors;
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(nlohmann::json::parse(result.output), nlohmann::json::parse(testing::kSampleTreeRows));
}

TEST(CountCommand, CountsASingleFileAndNamesStartingWithADash) {
    const TemporaryFolder scratch;
    const TemporaryFolder tree;
    tree.writeFile("-tool.sh", "#!/bin/sh\necho hi\n");
    const auto result = runCount({"--format", "json", "./-tool.sh"}, scratch.path(), tree.path());
    ASSERT_EQ(result.exitStatus, 0) << result.errors;
    const auto rows = nlohmann::json::parse(result.output);
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0], nlohmann::json::parse(
                           R"({"Name": "Shell", "Count": 1, "Lines": 2, "Code": 1, "Comment": 1, "Blank": 0,
                               "Complexity": 0})"));
}

TEST(CountCommand, AnEmptyFolderGivesAnEmptyArray) {
    const TemporaryFolder scratch;
    const TemporaryFolder tree;
    const auto result = runCount({"--format", "json", tree.path().string()}, scratch.path());
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(nlohmann::json::parse(result.output), nlohmann::json::array());
}

TEST(CountCommand, MissingPathFailsWithAMessage) {
    const TemporaryFolder scratch;
    const std::string missing = (scratch.path() / "no-such-folder").string();
    const auto result = runCount({"--format", "json", missing}, scratch.path());
    EXPECT_NE(result.exitStatus, 0);
    EXPECT_EQ(result.output, "");
    EXPECT_NE(result.errors.find(missing), std::string::npos) << result.errors;
}

TEST(CountCommand, UnknownArgumentsFailWithAMessage) {
    const TemporaryFolder scratch;
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--verbose", "--format", "json", "."}, {"--format", "csv", "."}, {"--format"}, {}, {"a", "b"}}) {
        const auto result = runCount(arguments, scratch.path());
        EXPECT_NE(result.exitStatus, 0);
        EXPECT_EQ(result.output, "");
        EXPECT_NE(result.errors, "");
    }
}

} // namespace
} // namespace norvane::counter
