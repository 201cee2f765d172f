#include "core/collection/Collector.h"
#include "core/models/DailyActivity.h"
#include "core/models/ModelDailyActivity.h"

#include "tests/core/collection/CollectionFixture.h"
#include "tests/core/collection/GitLoggedDays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace norvane {
namespace {

using testing::GitTestRepository;

class HistoryImportTest : public testing::CollectionFixture {
protected:
    /// Commits that each add `added` lines to their own file, on the given days from the first.
    void commitOnDays(std::initializer_list<int> days, int added = 100) {
        for (const int day : days) {
            std::string text;
            for (int line = 0; line < added; ++line) text += "line " + std::to_string(line) + "\n";
            repository.writeFile("f" + std::to_string(nextFile++) + ".c", text);
            repository.commit("commit on day " + std::to_string(day), platform::LocalCalendar::addingDays(start, day));
        }
    }

    std::vector<std::shared_ptr<Snapshot>> history() {
        auto snapshots = stored<Snapshot>();
        std::erase_if(snapshots, [](const auto& s) { return s->snapshotType() != SnapshotType::gitHistory; });
        std::sort(snapshots.begin(), snapshots.end(),
                  [](const auto& a, const auto& b) { return a->capturedAt < b->capturedAt; });
        return snapshots;
    }

    const platform::Date start = platform::LocalCalendar::startOfDay(daysFromToday(-200)) + std::chrono::hours(12);
    GitTestRepository repository;
    int nextFile = 0;
};

TEST_F(HistoryImportTest, EveryCommitWithRunningTotals) {
    commitOnDays({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    // A branch that is not checked out is no part of the series.
    repository.git({"checkout", "-q", "-b", "side", "HEAD~2"});
    commitOnDays({8, 9});
    repository.git({"checkout", "-q", "main"});
    const auto project = addProject("demo", repository.pathString());
    const auto result = collector.collectHistory(project, 0);
    EXPECT_EQ(std::tuple(result.snapshotCount, result.totalCommits, result.error.has_value()),
              std::tuple(10, 10, false));
    const auto snapshots = history();
    ASSERT_EQ(snapshots.size(), 10U);
    EXPECT_EQ(std::tuple(snapshots[0]->capturedAt, snapshots[0]->cumulativeInsertions), std::tuple(start, 100));
    const auto& last = *snapshots[9];
    EXPECT_EQ(std::tuple(last.cumulativeInsertions, last.cumulativeLinesChanged, last.codeLines, last.totalLines,
                         last.latestCommitMessage),
              std::tuple(1000, 1000, 1000, 0, "commit on day 9"));
    EXPECT_NEAR(last.cumulativeEffortMonths, 2.4, 1e-9);
    EXPECT_NEAR(last.cumulativeEstimatedCost, 72000, 1e-6);
    EXPECT_EQ(project->latestCommitAt, platform::LocalCalendar::addingDays(start, 9));
}

TEST_F(HistoryImportTest, SamplingKeepsTheRunningTotalsOfSkippedCommits) {
    commitOnDays({0, 3, 8, 9, 20});
    const auto project = addProject("demo", repository.pathString(), ProjectType::semiDetached);
    const auto result = collector.collectHistory(project, 7);
    EXPECT_EQ(std::tuple(result.snapshotCount, result.totalCommits), std::tuple(3, 5));
    const auto snapshots = history();
    ASSERT_EQ(snapshots.size(), 3U);
    EXPECT_EQ(
        std::tuple(snapshots[1]->capturedAt, snapshots[1]->cumulativeInsertions, snapshots[2]->cumulativeInsertions),
        std::tuple(platform::LocalCalendar::addingDays(start, 8), 300, 500));
    EXPECT_NEAR(snapshots[2]->cumulativeEffortMonths, 3.0 * std::pow(0.5, 1.12), 1e-9);
}

TEST_F(HistoryImportTest, ReimportReplacesOnlyTheHistory) {
    commitOnDays({0, 10, 20});
    repository.writeFile("f0.c", "rewritten\n");
    repository.commit("deletes", platform::LocalCalendar::addingDays(start, 30));
    const auto project = addProject("demo", repository.pathString());
    ASSERT_TRUE(collector.collectOne(project).isSuccess());
    project->firstCommitAt = daysFromToday(-1000);
    context->save();

    EXPECT_EQ(collector.collectHistory(project, 0).snapshotCount, 4);
    EXPECT_EQ(collector.collectHistory(project, 7).snapshotCount, 4);
    const auto snapshots = history();
    ASSERT_EQ(snapshots.size(), 4U);
    // The "scc" snapshot stays.
    EXPECT_EQ(std::tuple(snapshots[3]->cumulativeDeletions, snapshots[3]->cumulativeLinesChanged,
                         stored<Snapshot>().size(), project->firstCommitAt),
              std::tuple(100, 401, 5U, start));
}

TEST_F(HistoryImportTest, AnImportThatOverlapsAnotherLeavesOnlyItsOwnSeries) {
    commitOnDays({0, 10, 20, 30});
    const auto project = addProject("demo", repository.pathString());
    ASSERT_EQ(collector.collectHistory(project, 0).snapshotCount, 4);
    ASSERT_TRUE(collector.collectOne(project).isSuccess()); // a newer snapshot above the old series
    // A second process's import runs to its end while this one is between reading and saving.
    Collector other{std::make_shared<platform::ModelContext>(container), SccService(testing::builtInCounterOnly())};
    bool overlapped = false;
    const auto result = collector.collectHistory(project, 0, [&](int, int, const GitCommit&) {
        if (!std::exchange(overlapped, true)) {
            EXPECT_EQ(other.collectHistory(project, 30).snapshotCount, 2);
        }
    });
    EXPECT_EQ(result.snapshotCount, 4);
    EXPECT_EQ(history().size(), 4U) << "the other import's series is replaced, not kept beside this one";
}

TEST_F(HistoryImportTest, FailedStoreLeavesTheOldSeriesWhole) {
    commitOnDays({0, 10, 20});
    const auto project = addProject("demo", repository.pathString());
    ASSERT_EQ(collector.collectHistory(project, 0).snapshotCount, 3);
    commitOnDays({30, 40});
    execute("CREATE TRIGGER refuse BEFORE INSERT ON snapshot BEGIN SELECT RAISE(ABORT, 'no space'); END");

    const auto result = collector.collectHistory(project, 0);
    ASSERT_TRUE(result.error);
    EXPECT_NE(result.error->message.find("no space"), std::string::npos);
    EXPECT_EQ(result.snapshotCount, 0);
    const auto snapshots = history();
    ASSERT_EQ(snapshots.size(), 3U);
    EXPECT_EQ(snapshots[2]->cumulativeInsertions, 300);
    EXPECT_EQ(project->latestCommitAt, platform::LocalCalendar::addingDays(start, 20));
    EXPECT_FALSE(context->hasChanges());
}

TEST_F(HistoryImportTest, NothingToImport) {
    testing::TemporaryFolder plain;
    for (const auto& path : {plain.path().string(), std::string("/no/such/folder"), repository.pathString()}) {
        const auto result = collector.collectHistory(addProject(path, path), 0);
        EXPECT_EQ(std::tuple(result.snapshotCount, result.totalCommits, result.error.has_value()),
                  std::tuple(0, 0, false));
    }
}

TEST_F(HistoryImportTest, AttributesModelsFromTheWholeMessageAndMarkersFromTheSubject) {
    const std::pair<const char*, int> commits[] = {
        {"Add parser\n\nLonger body.\n\nCo-Authored-By: Claude <noreply@example.com>", 3},
        {"[gpt-4o] tune", 2},
        {"\U0001F916 Refactor", 1},
        {"Pair work\n\nCo-authored-by: Jane Doe <jane@example.com>", 5}, // a person, not a model
        {"Tidy\n\n\U0001F916 Generated with some tool", 6},
        {"Plain human commit", 4},
    };
    int hour = 0;
    for (const auto& [message, added] : commits) {
        repository.writeFile("f" + std::to_string(hour) + ".c", std::string(static_cast<std::size_t>(added), '\n'));
        repository.commit(message, start + std::chrono::hours(hour++));
    }
    const auto project = addProject("demo", repository.pathString());
    ASSERT_FALSE(collector.collectHistory(project, 7).error);
    ASSERT_FALSE(collector.collectHistory(project, 7).error); // the same rows again

    auto rows = stored<ModelDailyActivity>();
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a->model() < b->model(); });
    std::vector<std::tuple<AIModel, std::int64_t, std::int64_t>> got;
    for (const auto& row : rows) {
        got.emplace_back(row->model(), row->insertions, row->commitCount);
        EXPECT_EQ(row->date, platform::LocalCalendar::startOfDay(start));
        EXPECT_EQ(row->project->id, project->id);
    }
    EXPECT_EQ(got, (decltype(got){{AIModel::claude, 3, 1}, {AIModel::gpt4o, 2, 1}, {AIModel::unknown, 1, 1}}));
}

TEST_F(HistoryImportTest, BooksEveryDayOfTheHistoryAndNothingElse) {
    commitOnDays({0, 1, 1, 30, 190, 195});
    const auto project = addProject("demo", repository.pathString());
    // Rows that no longer match git: a day counted otherwise, and a day without commits.
    auto miscounted = DailyActivity::create(project, platform::LocalCalendar::addingDays(start, 195));
    miscounted->commitCount = 42;
    context->insert(miscounted);
    context->insert(DailyActivity::create(project, platform::LocalCalendar::addingDays(start, 20)));
    context->save();

    for (int round = 0; round < 2; ++round) {
        ASSERT_FALSE(collector.collectHistory(project, 7).error);
        auto rows = stored<DailyActivity>();
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a->date < b->date; });
        std::vector<std::tuple<platform::Date, std::int64_t, std::int64_t, std::int64_t>> got;
        for (const auto& row : rows)
            got.emplace_back(row->date, row->commitCount, row->codeLinesInserted, row->filesChanged);
        const auto dayStart = [this](int day) {
            return platform::LocalCalendar::startOfDay(platform::LocalCalendar::addingDays(start, day));
        };
        EXPECT_EQ(got, (decltype(got){{dayStart(0), 1, 100, 1},
                                      {dayStart(1), 2, 200, 2},
                                      {dayStart(30), 1, 100, 1},
                                      {dayStart(190), 1, 100, 1},
                                      {dayStart(195), 1, 100, 1}}));
        EXPECT_NEAR(rows[1]->estimatedEffortMonths, 2.4 * std::pow(0.2, 1.05), 1e-9);
    }
}

class BaselineTest : public HistoryImportTest {
protected:
    std::shared_ptr<DailyActivity> activity(const std::shared_ptr<Project>& project, platform::Date date,
                                            int codeLines) {
        auto row = DailyActivity::create(project, date);
        row->codeLinesInserted = codeLines;
        context->insert(row);
        return row;
    }

    /// Commits of `lineCount` new lines of code on each of the given days from today.
    void commitCode(int from, int to, int step, int lineCount) {
        for (int day = from; day <= to; day += step) {
            repository.writeFile("f" + std::to_string(nextFile++) + ".c",
                                 std::string(static_cast<std::size_t>(lineCount), '\n'));
            repository.commit("day " + std::to_string(day), daysFromToday(day));
        }
    }

    /// The mean code lines changed per day with commits of the first 60 days that git shows, by
    /// committer date; every file of these tests is code.
    double baselineByGit() {
        const auto days = testing::loggedDays(repository);
        const auto end =
            platform::LocalCalendar::startOfDay(platform::LocalCalendar::addingDays(days.begin()->first, 60));
        std::int64_t lines = 0;
        std::int64_t count = 0;
        for (auto day = days.begin(); day != days.end() && day->first < end; ++day, ++count) {
            lines += day->second.insertions + day->second.deletions;
        }
        return static_cast<double>(lines) / static_cast<double>(count);
    }
};

TEST_F(BaselineTest, TheFirstSixtyDaysStartOnTheFirstCommitsDayAsTheRowsCountIt) {
    // Written long before the project began, and committed (picked, rebased) on its first day.
    repository.writeFile("first.c", std::string(7, '\n'));
    repository.commit("first", daysFromToday(-300), "Ann", daysFromToday(-100));
    commitCode(-99, -20, 3, 12);
    commitCode(-98, -20, 7, 40);
    const auto project = addProject("demo", repository.pathString());
    ASSERT_TRUE(collector.collectInitialData(project).isSuccess());
    ASSERT_TRUE(project->baselineVelocity);
    EXPECT_DOUBLE_EQ(*project->baselineVelocity, baselineByGit());
}

TEST_F(BaselineTest, ARepositoryNoLongerShallowGivesTheBaselineOfItsWholeHistory) {
    commitCode(-200, -150, 5, 100);
    commitCode(-145, -100, 5, 5);
    testing::TemporaryFolder parent;
    const auto clone = (parent.path() / "clone").string();
    testing::runGit({"clone", "-q", "--depth", "10", "file://" + repository.pathString(), clone});
    const auto project = addProject("demo", clone);
    ASSERT_TRUE(collector.collectInitialData(project).isSuccess());
    ASSERT_TRUE(project->baselineVelocity);
    EXPECT_DOUBLE_EQ(*project->baselineVelocity, 5.0);

    testing::runGit({"-C", clone, "fetch", "-q", "--unshallow"});
    ASSERT_FALSE(collector.collectHistory(project, 7).error);
    ASSERT_TRUE(project->baselineVelocity);
    EXPECT_DOUBLE_EQ(*project->baselineVelocity, baselineByGit());
    EXPECT_GT(*project->baselineVelocity, 50.0);
}

TEST_F(BaselineTest, MeanOfTheFirstSixtyLocalDaysOnceTheProjectIsSixtyDaysOldFollowingTheRows) {
    const auto project = addProject("demo", repository.pathString());
    // The first commit's own row is dated at the start of its day, before the commit.
    activity(project, daysFromToday(-61), 100);
    activity(project, daysFromToday(-40), 200);
    activity(project, daysFromToday(-2), 300);
    activity(project, daysFromToday(-1), 5000); // the 61st day
    const auto young = addProject("young", repository.pathString());
    activity(young, daysFromToday(-50), 100);
    const auto quiet = addProject("quiet", repository.pathString());
    activity(quiet, daysFromToday(-10), 100);
    context->save();
    collector.calculateBaselineVelocityIfNeeded(project, daysFromToday(-61, 15));
    collector.calculateBaselineVelocityIfNeeded(young, daysFromToday(-59, 9));
    collector.calculateBaselineVelocityIfNeeded(quiet, daysFromToday(-300));
    EXPECT_EQ(project->baselineVelocity, 200.0);
    EXPECT_TRUE(project->baselineCalculatedAt);
    EXPECT_FALSE(young->baselineVelocity || quiet->baselineVelocity);

    // Rows booked anew, as by a re-import, give the baseline anew; none left in the window, none.
    activity(project, daysFromToday(-30), 10000);
    context->save();
    collector.calculateBaselineVelocityIfNeeded(project, daysFromToday(-61, 15));
    EXPECT_EQ(project->baselineVelocity, 2650.0);
    collector.calculateBaselineVelocityIfNeeded(project, daysFromToday(-200));
    EXPECT_FALSE(project->baselineVelocity || project->baselineCalculatedAt);
}

} // namespace
} // namespace norvane
