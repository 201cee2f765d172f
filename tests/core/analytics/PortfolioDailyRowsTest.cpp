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

    void removeHistory() {
        for (const auto& snapshot : context->fetch<Snapshot>()) context->remove(snapshot);
    }
};

TEST_F(PortfolioDailyRows, NoHistoryWritesNothing) {
    addSnapshot(addProject("alpha"), now);
    context->save();
    EXPECT_EQ(service.buildDailySnapshots(), 0);
    EXPECT_TRUE(storedRows().empty());
    EXPECT_FALSE(context->hasChanges());
}

TEST_F(PortfolioDailyRows, EachDayBooksTheGrowthOfTheCarriedTotal) {
    struct History {
        int project; // -1: none
        int daysAgo;
        double effort;
    };
    struct Case {
        std::vector<History> history;
        Efforts expected;
    };
    const Case cases[] = {
        {{{0, 5, 2.0}, {0, 2, 5.0}}, {{2.0, 2.0}, {3.0, 5.0}}},
        // Each project's last effort carries forward to the days without its snapshots.
        {{{0, 3, 10.0}, {1, 2, 3.0}, {0, 1, 11.0}}, {{10.0, 10.0}, {3.0, 13.0}, {1.0, 14.0}}},
        // A series that falls (summed out of date order) books nothing, and its climb back books
        // only what passes its highest value.
        {{{0, 3, 8.0}, {0, 2, 5.0}, {0, 1, 9.0}}, {{8.0, 8.0}, {0.0, 8.0}, {1.0, 9.0}}},
        // A snapshot without a usable effort keeps the carried one.
        {{{0, 3, 10.0}, {0, 2, 0.0}, {0, 1, 10.5}}, {{10.0, 10.0}, {0.0, 10.0}, {0.5, 10.5}}},
        {{{0, 3, 2.0}, {-1, 2, 50.0}, {0, 1, 2.5}}, {{2.0, 2.0}, {0.0, 2.0}, {0.5, 2.5}}},
    };
    const std::shared_ptr<Project> projects[] = {addProject("A"), addProject("B")};
    for (const auto& [history, expected] : cases) {
        removeHistory();
        for (const auto& [project, days, effort] : history) {
            addHistory(project < 0 ? nullptr : projects[project], daysAgo(days, 12), effort);
        }
        EXPECT_EQ(service.buildDailySnapshots(), static_cast<int>(expected.size()));
        EXPECT_EQ(efforts(), expected) << history.size() << " " << history[1].effort;
    }
}

TEST_F(PortfolioDailyRows, RowFieldsOfADay) {
    auto settings = AppSettings::defaults();
    settings->headcount = 3;
    context->insert(settings);
    auto beta = addProject("beta");
    auto alpha = addProject("Alpha");
    alpha->status = ProjectStatus::archived;
    addHistory(beta, daysAgo(1, 9), 3.0);
    addHistory(beta, daysAgo(1, 17), 4.0);
    addHistory(alpha, daysAgo(1, 10), 2.0);
    addHistory(nullptr, daysAgo(1, 11), 9.0);
    auto existing = addRow(daysAgo(1), 9.0, 9.0, 4, "old");
    existing->totalInsertions = 42;

    EXPECT_EQ(service.buildDailySnapshots(), 1);
    const auto rows = storedRows();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0], existing);
    EXPECT_EQ(std::tuple(existing->totalInsertions, existing->activeProjectNames, existing->activeProjectCount,
                         existing->totalCommits, existing->headcount, existing->cumulativeEffortMonths),
              std::tuple(42, "Alpha,beta", 2, 3, 3, 6.0));
    EXPECT_FALSE(context->hasChanges());
}

TEST_F(PortfolioDailyRows, RebuildDropsTheRowsOfVanishedDaysAndSecondRowsOfADay) {
    auto alpha = addProject("alpha");
    auto beta = addProject("beta");
    addHistory(alpha, daysAgo(20, 12), 1.0);
    addHistory(beta, daysAgo(6, 12), 4.0);
    addRow(daysAgo(6), 5.0);
    addRow(daysAgo(6), 7.0);
    EXPECT_EQ(service.buildDailySnapshots(), 2);
    EXPECT_EQ(efforts(), (Efforts{{1.0, 1.0}, {4.0, 5.0}}));

    // The re-import samples alpha's history on another day.
    for (const auto& snapshot : alpha->snapshots()) context->remove(snapshot);
    addHistory(alpha, daysAgo(19, 12), 1.5);
    context->remove(beta);
    context->save();
    EXPECT_EQ(service.buildDailySnapshots(), 1);
    const auto rows = platform::ModelContext(context->container()).fetch<DailyPortfolioSnapshot>();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0]->date, daysAgo(19));
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

TEST_F(PortfolioDailyRows, ClockChangesKeepEachSnapshotInItsLocalDay) {
    for (const auto& change : clockChanges) {
        const ScopedTimeZone changeZone(change.zone);
        removeHistory();
        const auto changeDay = platform::LocalCalendar::startOfDay(change.noon());
        const auto nextDay = platform::LocalCalendar::startOfDay(change.noon(1));
        auto alpha = addProject(change.zone);
        addHistory(alpha, changeDay + minutes(30), 1.0);
        addHistory(alpha, nextDay + minutes(30), 2.0);

        EXPECT_EQ(service.buildDailySnapshots(), 2) << change.zone;
        const auto rows = storedRows();
        ASSERT_EQ(rows.size(), 2U) << change.zone;
        EXPECT_EQ(rows[0]->date, changeDay) << change.zone;
        EXPECT_EQ(rows[1]->date, nextDay) << change.zone;
        EXPECT_EQ(service.dailySnapshot(nextDay + minutes(30)), rows[1]) << change.zone;
    }
    // Berlin's clocks go back on 25 October 2026: a day of 25 hours.
    removeHistory();
    auto alpha = addProject("autumn");
    addHistory(alpha, localDate(2026, 10, 25, 0, 30), 4.0);
    addHistory(alpha, localDate(2026, 10, 25, 23, 50), 5.0);
    addHistory(alpha, localDate(2026, 10, 26, 0, 5), 6.0);
    EXPECT_EQ(service.buildDailySnapshots(), 2);
    const auto rows = storedRows();
    EXPECT_EQ(rows[1]->date - rows[0]->date, hours(25));
    EXPECT_EQ(rows[0]->totalCommits, 2);
}

} // namespace
} // namespace norvane::testing
