#include "core/collection/Collector.h"
#include "core/models/DailyActivity.h"
#include "core/models/SnapshotLanguage.h"

#include "tests/core/collection/CollectionFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace norvane {
namespace {

using testing::GitTestRepository;

class CollectorTest : public testing::CollectionFixture {
protected:
    std::vector<std::shared_ptr<DailyActivity>> rowsByDate() {
        auto rows = stored<DailyActivity>();
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a->date < b->date; });
        return rows;
    }
};

std::string lines(int count, const std::string& text = "x = 1;") {
    std::string result;
    for (int i = 0; i < count; ++i) {
        result += text + "\n";
    }
    return result;
}

TEST_F(CollectorTest, StoresCodeCountCommitAndTodaysActivity) {
    GitTestRepository repository;
    repository.writeFile("src/main.c", "int main() {\n  // start\n  return 0;\n}\n");
    repository.commit("first", daysFromToday(-1));
    repository.writeFile("README.md", "# Demo\n\nText\n");
    repository.writeFile("tests/check.c", "int t;\n");
    const auto secondCommit = repository.commit("Add | docs", daysFromToday(0, 1), "Dana");
    const auto project = addProject("demo", repository.pathString());

    const auto result = collector.collectOne(project);
    ASSERT_TRUE(result.isSuccess()) << result.error->message;
    EXPECT_EQ(result.projectName, "demo");
    const auto& snapshot = *result.snapshot;
    EXPECT_EQ(snapshot.snapshotTypeRaw, "scc");
    EXPECT_EQ(snapshot.totalFiles, 3);
    EXPECT_EQ(snapshot.codeLines, 3 + 1 + 2);
    EXPECT_EQ(snapshot.commentLines, 1);
    EXPECT_EQ(snapshot.latestCommitHash, secondCommit);
    EXPECT_EQ(snapshot.analyzedCommitHash, secondCommit);
    EXPECT_EQ(snapshot.latestCommitMessage, "Add | docs");
    EXPECT_EQ(snapshot.latestCommitAuthor, "Dana");
    EXPECT_EQ(project->latestCommitAt, daysFromToday(0, 1));
    EXPECT_EQ(project->firstCommitAt, daysFromToday(-1));

    const auto languages = stored<SnapshotLanguage>();
    ASSERT_EQ(languages.size(), 2U);
    for (const auto& language : languages) {
        EXPECT_EQ(language->category, language->language == "Markdown" ? OutputCategory::docs : OutputCategory::code);
    }

    // Without earlier rows the window opens at the start of today: yesterday's commit is not counted.
    const auto rows = rowsByDate();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(result.dailyActivity->id, rows[0]->id);
    EXPECT_EQ(rows[0]->date, today());
    EXPECT_EQ(rows[0]->commitCount, 1);
    EXPECT_EQ(rows[0]->filesChanged, 2);
    EXPECT_EQ(rows[0]->docsLinesInserted, 3);
    EXPECT_EQ(rows[0]->testLinesInserted, 1);
    EXPECT_EQ(rows[0]->linesTouched, 4);
}

TEST_F(CollectorTest, CollectingTwiceOnOneDayKeepsOneRow) {
    GitTestRepository repository;
    repository.writeFile("a.c", lines(10));
    repository.commit("one", daysFromToday(0, 1));
    const auto project = addProject("demo", repository.pathString());
    const auto first = collector.collectOne(project);
    ASSERT_TRUE(first.dailyActivity);
    const auto rowId = first.dailyActivity->id;

    repository.writeFile("b.c", lines(5));
    repository.commit("two", daysFromToday(0, 2));
    const auto second = collector.collectOne(project);
    ASSERT_TRUE(second.isSuccess());
    EXPECT_EQ(collector.collectOne(project).dailyActivity->commitCount, 2);

    const auto rows = rowsByDate();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0]->id, rowId);
    EXPECT_EQ(rows[0]->commitCount, 2);
    EXPECT_EQ(rows[0]->totalInsertions, 15);
    EXPECT_EQ(rows[0]->codeLinesInserted, 15);
}

TEST_F(CollectorTest, MissedDaysGetRowsOfTheirOwn) {
    GitTestRepository repository;
    repository.writeFile("old.c", lines(7));
    repository.commit("before the window", daysFromToday(-5));
    repository.writeFile("a.c", lines(1));
    repository.commit("day -3", daysFromToday(-3, 9));
    repository.writeFile("b.c", lines(2));
    repository.commit("day -2", daysFromToday(-2));
    repository.writeFile("c.c", lines(3));
    repository.commit("today", daysFromToday(0, 1));
    const auto project = addProject("demo", repository.pathString());
    auto stale = DailyActivity::create(project, daysFromToday(-3));
    stale->commitCount = 99;
    context->insert(stale);
    context->save();

    const auto result = collector.collectOne(project);
    ASSERT_TRUE(result.isSuccess());
    const auto rows = rowsByDate();
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0]->date, platform::LocalCalendar::startOfDay(daysFromToday(-3)));
    EXPECT_EQ(rows[0]->id, stale->id);
    EXPECT_EQ(rows[0]->totalInsertions, 1);
    EXPECT_EQ(rows[1]->totalInsertions, 2);
    EXPECT_EQ(rows[2]->totalInsertions, 3);
    for (const auto& row : rows) {
        EXPECT_EQ(row->commitCount, 1);
    }
    EXPECT_EQ(result.dailyActivity->id, rows[2]->id);
}

TEST_F(CollectorTest, EffortAndCostOfTheDay) {
    GitTestRepository repository;
    repository.writeFile("big.c", lines(1000));
    repository.commit("thousand lines", daysFromToday(0, 1));
    const auto result = collector.collectOne(addProject("demo", repository.pathString()));
    ASSERT_TRUE(result.dailyActivity);
    EXPECT_NEAR(result.dailyActivity->estimatedEffortMonths, 2.4, 1e-9);
    EXPECT_NEAR(result.dailyActivity->estimatedCost, 72000, 1e-6);
}

TEST_F(CollectorTest, FolderThatIsNotARepository) {
    testing::TemporaryFolder folder;
    folder.writeFile("main.py", "print(1)\n");
    const auto project = addProject("plain", folder.path().string());
    const auto before = project->updatedAt;
    const auto result = collector.collectOne(project);
    ASSERT_TRUE(result.isSuccess());
    EXPECT_EQ(result.snapshot->codeLines, 1);
    EXPECT_FALSE(result.snapshot->latestCommitHash);
    EXPECT_FALSE(result.dailyActivity);
    EXPECT_FALSE(project->firstCommitAt);
    EXPECT_FALSE(project->latestCommitAt);
    EXPECT_GE(project->updatedAt, before);
    EXPECT_TRUE(stored<DailyActivity>().empty());
}

TEST_F(CollectorTest, EmptyRepositoryAndDetachedHead) {
    GitTestRepository empty;
    empty.writeFile("draft.c", "int x;\n");
    const auto emptyResult = collector.collectOne(addProject("empty", empty.pathString()));
    ASSERT_TRUE(emptyResult.isSuccess());
    EXPECT_FALSE(emptyResult.snapshot->latestCommitHash);
    EXPECT_FALSE(emptyResult.dailyActivity);

    GitTestRepository detached;
    detached.writeFile("a.c", lines(2));
    const auto first = detached.commit("one", daysFromToday(0, 1));
    detached.writeFile("a.c", lines(4));
    detached.commit("two", daysFromToday(0, 2));
    detached.git({"checkout", "-q", "--detach", first});
    const auto result = collector.collectOne(addProject("detached", detached.pathString()));
    ASSERT_TRUE(result.isSuccess());
    EXPECT_EQ(result.snapshot->latestCommitHash, first);
    EXPECT_EQ(result.dailyActivity->commitCount, 1);
}

TEST_F(CollectorTest, CollectAllGoesOnPastFailures) {
    GitTestRepository repository;
    repository.writeFile("a.c", lines(3));
    repository.commit("one", daysFromToday(-10));
    addProject("beta", repository.pathString());
    addProject("Alpha", "/no/such/folder");
    const auto archived = addProject("gamma", repository.pathString() + "/.git");
    archived->status = ProjectStatus::archived;
    context->save();

    const auto results = collector.collectAll();
    ASSERT_EQ(results.size(), 2U);
    EXPECT_EQ(results[0].projectName, "Alpha");
    ASSERT_TRUE(results[0].error);
    EXPECT_EQ(results[0].error->message, "Path not found: /no/such/folder");
    EXPECT_EQ(results[0].error->norvaneError, NorvaneError::pathNotFound("/no/such/folder"));
    EXPECT_FALSE(results[0].snapshot);
    EXPECT_TRUE(results[1].isSuccess());
    EXPECT_FALSE(results[1].dailyActivity); // no commit today

    const auto missing = collector.collectProject("nobody");
    EXPECT_EQ(missing.projectName, "nobody");
    EXPECT_EQ(missing.projectPath, "");
    EXPECT_EQ(missing.error->norvaneError, NorvaneError::projectNotFound("nobody"));
}

TEST_F(CollectorTest, CounterFailureChangesNothing) {
    testing::TemporaryFolder tools;
    const auto failing = tools.writeFile("scc", "#!/bin/sh\necho broken >&2\nexit 4\n");
    std::filesystem::permissions(failing, std::filesystem::perms::owner_all);
    Collector withBrokenCounter(context, SccService({{failing}, tools.path() / "no-which", {}}));
    GitTestRepository repository;
    repository.commit("one", daysFromToday(0, 1));
    const auto project = addProject("demo", repository.pathString());
    const auto result = withBrokenCounter.collectOne(project);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->message, "scc failed: scc exited with status 4: broken\n");
    EXPECT_FALSE(project->latestCommitAt);
    EXPECT_TRUE(stored<Snapshot>().empty());
}

TEST_F(CollectorTest, OddPathsBinaryFilesMergesAndShallowClones) {
    GitTestRepository repository;
    repository.writeFile("base.c", lines(2));
    repository.commit("base", daysFromToday(-1));
    repository.git({"checkout", "-q", "-b", "side"});
    repository.writeFile("with space.c", lines(3));
    repository.writeFile("quote\"d.md", "# Title\n");
    repository.writeFile("new\nline.py", "x = 1\n");
    repository.writeFile("logo.png", std::string("\x89PNG\0\0\1", 7));
    repository.commit("side", daysFromToday(0, 1));
    repository.git({"checkout", "-q", "main"});
    repository.writeFile("main.c", lines(1));
    repository.commit("main", daysFromToday(0, 2));
    const auto when = testing::gitDate(daysFromToday(0, 3));
    repository.git({"-c", "user.name=M", "-c", "user.email=m@x", "merge", "-q", "--no-edit", "side"},
                   {{"GIT_AUTHOR_DATE", when}, {"GIT_COMMITTER_DATE", when}});

    const auto result = collector.collectOne(addProject("odd", repository.pathString()));
    ASSERT_TRUE(result.isSuccess()) << result.error->message;
    ASSERT_TRUE(result.dailyActivity);
    EXPECT_EQ(result.dailyActivity->commitCount, 3);
    EXPECT_EQ(result.dailyActivity->filesChanged, 5);
    EXPECT_EQ(result.dailyActivity->codeLinesInserted, 5);
    EXPECT_EQ(result.dailyActivity->docsLinesInserted, 1);

    testing::TemporaryFolder parent;
    const auto clone = (parent.path() / "clone").string();
    testing::runGit({"clone", "-q", "--depth", "1", "--no-single-branch", "file://" + repository.pathString(), clone});
    const auto shallow = collector.collectInitialData(addProject("shallow", clone));
    ASSERT_TRUE(shallow.isSuccess()) << shallow.error->message;
    EXPECT_EQ(shallow.totalCommits, 1);
    EXPECT_EQ(shallow.historySnapshots, 1);
}

TEST_F(CollectorTest, FailedActivitySaveIsReported) {
    GitTestRepository repository;
    repository.writeFile("a.c", lines(3));
    repository.commit("one", daysFromToday(0, 1));
    const auto project = addProject("demo", repository.pathString());
    execute("CREATE TRIGGER refuse BEFORE INSERT ON daily_activity BEGIN SELECT RAISE(ABORT, 'disk full'); END");

    const auto result = collector.collectOne(project);
    EXPECT_FALSE(result.isSuccess());
    ASSERT_TRUE(result.error);
    EXPECT_NE(result.error->message.find("disk full"), std::string::npos);
    EXPECT_TRUE(result.snapshot); // the code count itself was stored
    EXPECT_FALSE(result.dailyActivity);
    EXPECT_TRUE(stored<DailyActivity>().empty());
    EXPECT_EQ(stored<Snapshot>().size(), 1U);
}

} // namespace
} // namespace norvane
