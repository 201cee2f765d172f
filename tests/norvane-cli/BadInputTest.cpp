#include "tests/norvane-cli/CliTestFixture.h"

#include "core/models/Project.h"

#include <gmock/gmock.h>

#include <fstream>

namespace norvane::testing {
namespace {

using ::testing::HasSubstr;

class BadInput : public CliTest {
protected:
    void SetUp() override { addProject("demo", folder.path()); }

    /// Expects a failure status and exactly the given line on standard error.
    void expectFailure(const std::vector<std::string>& arguments, const std::string& line) const {
        const auto run = norvane(arguments);
        EXPECT_NE(run.status, 0) << arguments.front();
        EXPECT_EQ(run.err, "norvane: " + line + "\n") << arguments.front();
    }

    TemporaryFolder folder;
};

TEST_F(BadInput, UnknownProjectNamesFailEveryCommandThatNamesOne) {
    for (const auto& command : {"collect", "history", "archive", "remove"}) {
        expectFailure({command, "nope"}, "Project not found: nope");
    }
    EXPECT_EQ(stored<Project>().size(), 1u);
}

TEST_F(BadInput, AddRefusesMissingPathsFilesAndTakenNamesBeforeWritingAnything) {
    const auto missing = folder.path() / "missing";
    const auto file = folder.writeFile("notes.txt", "text\n");

    expectFailure({"add", "fresh", missing.string()}, "Path not found: " + missing.string());
    expectFailure({"add", "fresh", file.string()}, "Path is not a directory: " + file.string());
    expectFailure({"add", "demo", missing.string()}, "A project named 'demo' already exists");
    expectFailure({"add", " ", folder.path().string()}, "The project name must not be empty");

    const auto projects = stored<Project>();
    ASSERT_EQ(projects.size(), 1u);
    EXPECT_EQ(projects.front()->name, "demo");
}

TEST_F(BadInput, MalformedArgumentsAreUsageErrorsThatLeaveTheStoreAlone) {
    const auto before = std::filesystem::last_write_time(storeFile());
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{}, "Usage: norvane [OPTIONS] SUBCOMMAND"},
        {{"--bogus"}, "Usage: norvane [OPTIONS] SUBCOMMAND"},
        {{"frobnicate"}, "Usage: norvane [OPTIONS] SUBCOMMAND"},
        {{"add"}, "Usage: norvane add [OPTIONS] NAME [PATH]"},
        {{"add", "x", ".", "--type", "huge"}, "Usage: norvane add [OPTIONS] NAME [PATH]"},
        {{"history", "demo", "--interval", "-1"}, "Usage: norvane history [OPTIONS] NAME"},
        {{"history", "demo", "--interval", "weekly"}, "Usage: norvane history [OPTIONS] NAME"},
        {{"export"}, "Usage: norvane export [OPTIONS]"},
        {{"export", "-o"}, "Usage: norvane export [OPTIONS]"},
        {{"archive", "demo", "extra"}, "Usage: norvane archive [OPTIONS] NAME"},
        {{"--help", "bogus"}, "Usage: norvane [OPTIONS] SUBCOMMAND"},
        {{"--version", "--bogus"}, "Usage: norvane [OPTIONS] SUBCOMMAND"},
        {{"history", "demo", "--help", "extra"}, "Usage: norvane history [OPTIONS] NAME"},
    };
    for (const auto& [arguments, usage] : cases) {
        const auto run = norvane(arguments);
        const auto where = ::testing::PrintToString(arguments);
        EXPECT_EQ(run.status, 2) << where;
        EXPECT_EQ(lineCount(run.err), 3u) << where << run.err;
        EXPECT_EQ(run.err.substr(0, 9), "norvane: ") << where;
        EXPECT_THAT(run.err, HasSubstr("\n" + usage + "\nRun with --help for more information.\n")) << where;
        EXPECT_EQ(run.out, "") << where;
    }
    EXPECT_EQ(std::filesystem::last_write_time(storeFile()), before);
    EXPECT_THAT(norvane({"bogus"}).err, HasSubstr("norvane: Unknown command: bogus\n"));
    EXPECT_THAT(norvane({"--bogus"}).err, HasSubstr("norvane: The following argument was not expected: --bogus\n"));
    EXPECT_THAT(norvane({"-x"}).err, HasSubstr("norvane: The following argument was not expected: -x\n"));
    EXPECT_THAT(norvane({}).err, HasSubstr("norvane: A subcommand is required\n"));
    EXPECT_EQ(stored<Project>().size(), 1u);
    EXPECT_EQ(norvane({"--help"}).status, 0);
    EXPECT_EQ(norvane({"--version"}).out, "norvane 0.1.0\n");
}

// As `norvane list > /dev/full` runs it: output that is lost is a failure, whatever the command.
TEST_F(BadInput, StandardOutputThatCannotBeWrittenFailsTheCommandSayingWhy) {
    const CliRunOptions toFullDevice{.launcher = {"/bin/sh", "-c", "exec \"$@\" > /dev/full", "sh"}};
    const std::vector<std::vector<std::string>> commands{{"list"},           {"export", "-o", "-"}, {"collect"},
                                                         {"help"},           {"collect", "--help"}, {"--version"},
                                                         {"archive", "demo"}};
    for (const auto& arguments : commands) {
        const auto run = norvane(arguments, toFullDevice);
        const auto where = ::testing::PrintToString(arguments);
        EXPECT_EQ(run.status, 1) << where;
        EXPECT_EQ(run.err, "norvane: Cannot write to standard output: No space left on device\n") << where;
    }
}

TEST_F(BadInput, AStoreThatCannotBeOpenedFailsWithOneLine) {
    // A store whose pages past the first were overwritten is said to be damaged, not "malformed".
    const auto size = std::filesystem::file_size(storeFile());
    std::fstream(storeFile(), std::ios::in | std::ios::out | std::ios::binary).seekp(4096)
        << std::string(size - 4096, 'x');
    const auto damaged = norvane({"list"});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_EQ(damaged.err, "norvane: Cannot open the store " + storeFile().string() + ": the file is damaged\n");

    // A file where the store should be leaves it as it was.
    std::filesystem::remove(storeFile());
    std::filesystem::remove(storeFile().string() + "-wal");
    std::filesystem::remove(storeFile().string() + "-shm");
    std::ofstream(storeFile()) << "not a database, but someone's notes\n";
    const auto notAStore = norvane({"list"});
    EXPECT_NE(notAStore.status, 0);
    EXPECT_EQ(notAStore.err,
              "norvane: The file " + storeFile().string() + " is not a Norvane store: the file is not a database\n");
    EXPECT_EQ(lineCount(notAStore.err), 1u);
    EXPECT_EQ(readFile(storeFile()), "not a database, but someone's notes\n");

    // A data folder that is a file cannot hold the store's folder that an add makes.
    const auto blocked = folder.writeFile("blocked", "");
    const auto noFolder =
        norvane({"add", "other", folder.path().string()}, {.environment = {{"XDG_DATA_HOME", blocked.string()}}});
    EXPECT_NE(noFolder.status, 0);
    EXPECT_THAT(noFolder.err, HasSubstr("norvane: Cannot create the folder " + (blocked / "Norvane").string()));
    EXPECT_EQ(lineCount(noFolder.err), 1u);
}

} // namespace
} // namespace norvane::testing
