#include "core/collection/Collector.h"

#include "core/models/DailyActivity.h"
#include "core/models/ModelDailyActivity.h"

#include "tests/core/collection/CollectionFixture.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace norvane {
namespace {

using namespace InitialCollectionStage;
using testing::GitTestRepository;

class InitialCollectionTest : public testing::CollectionFixture {
protected:
    InitialCollectionResult run(const std::shared_ptr<Project>& project) {
        return collector.collectInitialData(
            project, [this](const InitialCollectionProgress& stage) { stages.push_back(stage); });
    }

    std::vector<InitialCollectionProgress> stages;
};

TEST_F(InitialCollectionTest, RepositoryReportsEveryStage) {
    GitTestRepository repository;
    const auto start = daysFromToday(-30);
    const std::string longSubject(80, 's');
    repository.writeFile("a.c", "int a;\nint b;\n");
    repository.commit("first", start);
    repository.writeFile("b.c", "int c;\n");
    repository.commit("second", start + std::chrono::hours(2));
    repository.writeFile("c.c", "int d;\n");
    repository.commit(longSubject + "\n\nbody", platform::LocalCalendar::addingDays(start, 10));
    const auto project = addProject("demo", repository.pathString());

    const auto result = run(project);
    EXPECT_EQ(std::tuple(result.isSuccess(), result.project, result.sccSnapshot.has_value(), result.historySnapshots,
                         result.totalCommits),
              std::tuple(true, project, true, 2, 3));
    const std::vector<InitialCollectionProgress> expected{
        Starting{},
        RunningScc{},
        SccComplete{4},
        ImportingHistory{1, 2, "first"},
        ImportingHistory{2, 2, std::string(50, 's')},
        HistoryComplete{2},
        Complete{},
    };
    EXPECT_EQ(stages, expected);
}

TEST_F(InitialCollectionTest, FolderWithoutRepositoryAndMissingFolder) {
    testing::TemporaryFolder folder;
    folder.writeFile("notes.md", "# Notes\n");
    const std::pair<std::string, std::vector<InitialCollectionProgress>> cases[] = {
        {folder.path().string(), {Starting{}, RunningScc{}, SccComplete{1}, Complete{}}},
        {"/no/such/folder", {Starting{}, RunningScc{}, Error{"Path not found: /no/such/folder"}}},
    };
    for (const auto& [path, expected] : cases) {
        stages.clear();
        const auto result = run(addProject(path, path));
        EXPECT_EQ(stages, expected);
        EXPECT_EQ(std::tuple(result.historySnapshots, result.totalCommits, result.sccSnapshot.has_value()),
                  std::tuple(0, 0, !result.error));
    }
}

/// Every record the collection stored for the project, one line of its key figures each.
std::vector<std::string> storedFigures(platform::ModelContext& context, const std::shared_ptr<Project>& project) {
    std::vector<std::string> lines;
    for (const auto& row : context.fetch<DailyActivity>({.predicate = DailyActivityField::project == project})) {
        lines.push_back(fmt::format("day {} {} {} {} {} {} {}", platform::secondsSinceEpoch(row->date),
                                    row->commitCount, row->totalInsertions, row->totalDeletions, row->filesChanged,
                                    row->codeLinesInserted, row->docsLinesInserted));
    }
    for (const auto& snapshot : context.fetch<Snapshot>({.predicate = SnapshotField::project == project})) {
        lines.push_back(fmt::format("{} {} {} {} {} {} {}", snapshot->snapshotTypeRaw,
                                    snapshot->latestCommitHash.value_or(""), snapshot->latestCommitMessage.value_or(""),
                                    snapshot->latestCommitAuthor.value_or(""), snapshot->cumulativeInsertions,
                                    snapshot->cumulativeDeletions, snapshot->codeLines));
    }
    for (const auto& row :
         context.fetch<ModelDailyActivity>({.predicate = ModelDailyActivityField::project == project})) {
        lines.push_back(fmt::format("model {} {} {} {}", row->modelRaw, platform::secondsSinceEpoch(row->date),
                                    row->insertions, row->commitCount));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(InitialCollectionTest, HostileGitConfigurationChangesNothingStored) {
    GitTestRepository repository;
    const auto hostile = addProject("hostile", repository.pathString());
    {
        const testing::HostileGitEnvironment hostileHome;
        repository.writeFile("src/Ünïcode.c", "int a;\nint b;\n");
        repository.writeFile("README.md", "# Read me\n");
        repository.commit("Root ✓ café [claude]", daysFromToday(0, 1), "Zoë");
        repository.git({"checkout", "-q", "-b", "side"});
        repository.git({"mv", "src/Ünïcode.c", "src/moved.c"});
        repository.commit("Move\n\nCo-Authored-By: Claude <c@x>", daysFromToday(0, 2));
        repository.git({"checkout", "-q", "main"});
        repository.writeFile("docs/guide.md", "# Guide\n");
        repository.commit("Docs", daysFromToday(0, 3));
        const auto when = testing::gitDate(daysFromToday(0, 4));
        repository.git({"-c", "user.name=M", "-c", "user.email=m@x", "merge", "-q", "--no-edit", "side"},
                       {{"GIT_AUTHOR_DATE", when}, {"GIT_COMMITTER_DATE", when}});
        ASSERT_TRUE(collector.collectInitialData(hostile).isSuccess());
    }
    const auto clean = addProject("clean", repository.pathString());
    const auto result = collector.collectInitialData(clean);
    ASSERT_TRUE(result.isSuccess());
    EXPECT_EQ(result.totalCommits, 4);
    EXPECT_EQ(result.sccSnapshot->latestCommitHash, repository.git({"rev-parse", "HEAD"}).substr(0, 40));
    for (const auto& row : stored<DailyActivity>()) EXPECT_EQ(row->commitCount, 4);
    EXPECT_EQ(storedFigures(*context, hostile), storedFigures(*context, clean));
}

} // namespace
} // namespace norvane
