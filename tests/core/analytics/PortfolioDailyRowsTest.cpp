#include "tests/core/analytics/PortfolioStoreFixture.h"

#include "core/models/AppSettings.h"

namespace norvane::testing {
namespace {

using std::chrono::hours;
using std::chrono::minutes;

using Efforts = std::vector<std::pair<double, double>>;

class PortfolioDailyRows : public PortfolioStoreFixture {
protected:
    /// Each stored row's effort of the day and running total, oldest first.
    Efforts efforts() {
        Efforts result;
        for (const auto& row : storedRows()) result.emplace_back(row->dailyEffortMonths, row->cumulativeEffortMonths);
        return result;
    }
};

TEST_F(PortfolioDailyRows, NoHistoryWritesNothing) {
    auto project = addProject("alpha");
    auto measurement = Snapshot::create(project);
    context->insert(measurement);
    context->save();

    EXPECT_EQ(service.buildDailySnapshots(), 0);
    EXPECT_TRUE(storedRows().empty());
    EXPECT_FALSE(context->hasChanges());
}

TEST_F(PortfolioDailyRows, OneProjectBooksTheGrowthOnEachDay) {
    auto settings = AppSettings::defaults();
    settings->headcount = 3;
    context->insert(settings);
    auto alpha = addProject("alpha");
    addHistory(alpha, daysAgo(5, 10), 2.0);
    addHistory(alpha, daysAgo(2, 18), 5.0);

    EXPECT_EQ(service.buildDailySnapshots(), 2);
    const auto rows = storedRows();
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0]->date, daysAgo(5));
    EXPECT_EQ(rows[1]->date, daysAgo(2));
    EXPECT_EQ(efforts(), (Efforts{{2.0, 2.0}, {3.0, 5.0}}));
    for (const auto& row : rows) {
        EXPECT_EQ(row->activeProjectCount, 1);
        EXPECT_EQ(row->totalCommits, 1);
        EXPECT_EQ(row->headcount, 3);
        EXPECT_EQ(row->activeProjectNames, "alpha");
    }
    EXPECT_FALSE(context->hasChanges());
}

TEST_F(PortfolioDailyRows, SnapshotsOfOneDayShareARow) {
    auto alpha = addProject("alpha");
    addHistory(alpha, daysAgo(1, 9), 3.0);
    addHistory(alpha, daysAgo(1, 17), 4.0);

    EXPECT_EQ(service.buildDailySnapshots(), 1);
    const auto rows = storedRows();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0]->totalCommits, 2);
    EXPECT_EQ(rows[0]->activeProjectCount, 1);
    EXPECT_DOUBLE_EQ(rows[0]->cumulativeEffortMonths, 4.0);
    EXPECT_EQ(rows[0]->headcount, 1);
}

TEST_F(PortfolioDailyRows, EachProjectsEffortCarriesForwardToDaysWithoutItsSnapshots) {
    auto projectA = addProject("A");
    auto projectB = addProject("B");
    addHistory(projectA, daysAgo(3, 12), 10.0);
    addHistory(projectB, daysAgo(2, 12), 3.0);
    addHistory(projectA, daysAgo(1, 12), 11.0);

    EXPECT_EQ(service.buildDailySnapshots(), 3);
    EXPECT_EQ(efforts(), (Efforts{{10.0, 10.0}, {3.0, 13.0}, {1.0, 14.0}}));
    const auto rows = storedRows();
    EXPECT_EQ(rows[1]->activeProjectNames, "B");
    EXPECT_EQ(rows[1]->activeProjectCount, 1);
}

TEST_F(PortfolioDailyRows, AFallBooksNoNegativeEffort) {
    auto alpha = addProject("alpha");
    addHistory(alpha, daysAgo(3, 12), 8.0);
    addHistory(alpha, daysAgo(2, 12), 5.0);
    addHistory(alpha, daysAgo(1, 12), 6.5);

    service.buildDailySnapshots();
    EXPECT_EQ(efforts(), (Efforts{{8.0, 8.0}, {0.0, 5.0}, {1.5, 6.5}}));
}

TEST_F(PortfolioDailyRows, SnapshotsWithoutAProjectCountForNothing) {
    auto alpha = addProject("alpha");
    addHistory(alpha, daysAgo(3, 12), 2.0);
    addHistory(nullptr, daysAgo(2, 12), 50.0);
    addHistory(alpha, daysAgo(1, 12), 2.5);

    EXPECT_EQ(service.buildDailySnapshots(), 3);
    const auto rows = storedRows();
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[1]->activeProjectCount, 0);
    EXPECT_EQ(rows[1]->totalCommits, 0);
    EXPECT_EQ(rows[1]->activeProjectNames, "");
    EXPECT_EQ(efforts(), (Efforts{{2.0, 2.0}, {0.0, 2.0}, {0.5, 2.5}}));
}

TEST_F(PortfolioDailyRows, NamesAreSortedAndArchivedProjectsCount) {
    auto beta = addProject("beta");
    auto alpha = addProject("Alpha");
    alpha->status = ProjectStatus::archived;
    addHistory(beta, daysAgo(1, 9), 1.0);
    addHistory(alpha, daysAgo(1, 10), 2.0);

    service.buildDailySnapshots();
    const auto rows = storedRows();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0]->activeProjectNames, "Alpha,beta");
    EXPECT_EQ(rows[0]->activeProjectCount, 2);
    EXPECT_DOUBLE_EQ(rows[0]->cumulativeEffortMonths, 3.0);
}

TEST_F(PortfolioDailyRows, AnExistingRowKeepsItsLineTotals) {
    auto alpha = addProject("alpha");
    addHistory(alpha, daysAgo(1, 9), 1.0);
    auto existing = addRow(daysAgo(1), 9.0, 9.0, 4, "old");
    existing->totalInsertions = 42;
    existing->totalLinesChanged = 50;
    context->save();

    service.buildDailySnapshots();
    const auto rows = storedRows();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0], existing);
    EXPECT_EQ(existing->totalInsertions, 42);
    EXPECT_EQ(existing->totalLinesChanged, 50);
    EXPECT_DOUBLE_EQ(existing->dailyEffortMonths, 1.0);
    EXPECT_EQ(existing->activeProjectNames, "alpha");
}

TEST_F(PortfolioDailyRows, RebuildAfterReimportDropsTheRowsOfVanishedDays) {
    auto alpha = addProject("alpha");
    auto beta = addProject("beta");
    addHistory(alpha, daysAgo(20, 12), 1.0);
    addHistory(alpha, daysAgo(13, 12), 2.0);
    addHistory(beta, daysAgo(6, 12), 4.0);
    EXPECT_EQ(service.buildDailySnapshots(), 3);

    // The re-import samples alpha's history on other days.
    for (const auto& snapshot : alpha->snapshots()) context->remove(snapshot);
    addHistory(alpha, daysAgo(19, 12), 1.5);
    addHistory(alpha, daysAgo(12, 12), 2.5);
    context->save();

    EXPECT_EQ(service.buildDailySnapshots(), 3);
    auto rows = storedRows();
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0]->date, daysAgo(19));
    EXPECT_EQ(rows[1]->date, daysAgo(12));
    EXPECT_EQ(rows[2]->date, daysAgo(6));
    EXPECT_DOUBLE_EQ(rows[2]->cumulativeEffortMonths, 6.5);

    context->remove(beta);
    context->save();
    EXPECT_EQ(service.buildDailySnapshots(), 2);
    EXPECT_EQ(storedRows().size(), 2U);

    context->remove(alpha);
    context->save();
    EXPECT_EQ(service.buildDailySnapshots(), 0);
    EXPECT_TRUE(storedRows().empty());

    // Another context over the same store sees what was saved.
    platform::ModelContext reader(context->container());
    EXPECT_TRUE(reader.fetch<DailyPortfolioSnapshot>().empty());
}

TEST_F(PortfolioDailyRows, ASecondRowOfOneDayIsRemoved) {
    auto alpha = addProject("alpha");
    addHistory(alpha, daysAgo(1, 9), 1.0);
    addRow(daysAgo(1), 5.0);
    addRow(daysAgo(1), 7.0);
    context->save();

    service.buildDailySnapshots();
    EXPECT_EQ(efforts(), (Efforts{{1.0, 1.0}}));
}

TEST_F(PortfolioDailyRows, DailySnapshotFindsOrCreatesTheRowOfTheDay) {
    auto row = addRow(daysAgo(2), 1.0);
    context->save();
    EXPECT_EQ(service.dailySnapshot(daysAgo(2, 23) + minutes(59)), row);

    auto created = service.dailySnapshot(daysAgo(1, 15));
    EXPECT_NE(created, row);
    EXPECT_EQ(created->date, daysAgo(1));
    EXPECT_TRUE(context->hasChanges());
    EXPECT_EQ(service.dailySnapshot(daysAgo(1, 3)), created);
}

TEST_F(PortfolioDailyRows, DaylightSavingDaysGroupByLocalDay) {
    // Clocks in Berlin go forward on 29 March 2026 (a 23-hour day) and back on 25 October.
    now = localDate(2026, 11, 2, 12);
    auto alpha = addProject("alpha");
    addHistory(alpha, localDate(2026, 3, 29, 0, 30), 1.0);
    addHistory(alpha, localDate(2026, 3, 29, 23, 30), 2.0);
    addHistory(alpha, localDate(2026, 3, 30, 0, 10), 3.0);
    addHistory(alpha, localDate(2026, 10, 25, 0, 30), 4.0);
    addHistory(alpha, localDate(2026, 10, 25, 23, 50), 5.0);
    addHistory(alpha, localDate(2026, 10, 26, 0, 5), 6.0);

    EXPECT_EQ(service.buildDailySnapshots(), 4);
    const auto rows = storedRows();
    ASSERT_EQ(rows.size(), 4U);
    EXPECT_EQ(rows[0]->date, localDate(2026, 3, 29));
    EXPECT_EQ(rows[0]->totalCommits, 2);
    EXPECT_EQ(rows[1]->date, localDate(2026, 3, 30));
    EXPECT_EQ(rows[1]->date - rows[0]->date, hours(23));
    EXPECT_EQ(rows[2]->date, localDate(2026, 10, 25));
    EXPECT_EQ(rows[2]->totalCommits, 2);
    EXPECT_EQ(rows[3]->date - rows[2]->date, hours(25));
    EXPECT_DOUBLE_EQ(rows[3]->dailyEffortMonths, 1.0);
}

} // namespace
} // namespace norvane::testing
