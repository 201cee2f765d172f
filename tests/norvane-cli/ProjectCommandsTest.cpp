#include "tests/norvane-cli/CliTestFixture.h"

#include "core/models/DailyActivity.h"
#include "core/models/ModelDailyActivity.h"
#include "core/models/Project.h"
#include "core/models/Snapshot.h"

#include <gmock/gmock.h>

namespace norvane::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class ProjectCommands : public CliTest {};

TEST_F(ProjectCommands, ListShowsEveryProjectInColumns) {
    EXPECT_EQ(norvane({"list"}).out, "No projects. Add one with: norvane add NAME [PATH]\n");
    const auto repository = makeRepository();
    TemporaryFolder empty;
    addProject("Zeta", repository->path());
    addProject("älpha", empty.path());

    const auto run = norvane({"list"});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "NAME   STATUS  TYPE     CODE LINES  PATH\n"
                       "älpha  active  organic  0           " +
                           empty.path().string() + "\n" + "Zeta   active  organic  10          " +
                           repository->pathString() + "\n");
}

TEST_F(ProjectCommands, ArchiveKeepsTheProjectButLeavesItOutOfCollections) {
    const auto kept = makeRepository();
    const auto archived = makeRepository();
    addProject("kept", kept->path());
    addProject("old", archived->path());

    const auto run = norvane({"archive", "old"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Archived old\n");

    EXPECT_THAT(norvane({"list"}).out, HasSubstr("old   archived  organic  10"));
    const auto collect = norvane({"collect"});
    ASSERT_EQ(collect.status, 0) << collect.err;
    EXPECT_THAT(collect.out, HasSubstr("kept: "));
    EXPECT_THAT(collect.out, Not(HasSubstr("old")));
    EXPECT_EQ(storedSnapshots("old", "scc"), 1u);
    EXPECT_EQ(storedSnapshots("old", "gitHistory"), 3u);
}

TEST_F(ProjectCommands, RemoveDeletesTheProjectWithItsSnapshotsAndActivity) {
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    ASSERT_EQ(norvane({"collect"}).status, 0);
    ASSERT_FALSE(stored<DailyActivity>().empty());

    const auto run = norvane({"remove", "demo", "--yes"});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Removed demo\n");
    EXPECT_TRUE(stored<Project>().empty());
    EXPECT_TRUE(stored<Snapshot>().empty());
    EXPECT_TRUE(stored<DailyActivity>().empty());
    // Attribution rows outlive their project, without it.
    for (const auto& row : stored<ModelDailyActivity>()) EXPECT_EQ(row->project, nullptr);
}

TEST_F(ProjectCommands, RemoveWithoutATerminalToAskOnNeedsYes) {
    TemporaryFolder folder;
    addProject("scripted", folder.path());

    for (const auto& input : {"n\n", "y\n", ""}) {
        const auto run = norvane({"remove", "scripted"}, {.standardInput = input});
        EXPECT_NE(run.status, 0);
        EXPECT_EQ(run.err, "norvane: Not removing scripted: no terminal to confirm on; run with --yes to remove it\n");
    }
    EXPECT_NE(storedProject("scripted"), nullptr);
}

TEST_F(ProjectCommands, ListShowsControlCharactersOfNamesAsEscapes) {
    TemporaryFolder folder;
    addProject("two\nlines\x1b[2J\tend", folder.path());

    const auto run = norvane({"list"});

    EXPECT_EQ(lineCount(run.out), 2u);
    EXPECT_THAT(run.out, HasSubstr("two\\nlines\\x1b[2J\\tend  active"));
}

} // namespace
} // namespace norvane::testing
