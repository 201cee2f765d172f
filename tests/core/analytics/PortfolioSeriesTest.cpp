#include "tests/core/analytics/PortfolioStoreFixture.h"

namespace norvane::testing {
namespace {

using std::chrono::hours;

class PortfolioSeries : public PortfolioStoreFixture {};

TEST_F(PortfolioSeries, DailySeriesHoldOneElementPerRowOfTheWindow) {
    addRow(daysAgo(30), 9.0, 9.0, 1, "old");
    addRow(daysAgo(3), 1.5, 10.5, 2, "alpha,beta");
    addRow(daysAgo(1), 0.0, 10.5, 3, "alpha,,beta");
    addRow(daysAgo(0), 2.0, 12.5, 4, "");
    std::vector<std::tuple<platform::Date, double, double, std::int64_t, std::vector<std::string>>> got;
    const auto throughput = service.getDailyThroughputSeries(30);
    const auto effort = service.getCumulativeEffortSeries(30);
    const auto parallelism = service.getParallelismSeries(30);
    ASSERT_EQ(std::tuple(throughput.size(), effort.size(), parallelism.size()), std::tuple(3U, 3U, 3U));
    for (std::size_t i = 0; i < 3; ++i) {
        got.emplace_back(throughput[i].date, throughput[i].throughput, effort[i].effort, parallelism[i].count,
                         parallelism[i].projects);
    }
    EXPECT_EQ(got, (decltype(got){{daysAgo(3), 1.5, 10.5, 2, {"alpha", "beta"}},
                                  {daysAgo(1), 0.0, 10.5, 3, {"alpha", "", "beta"}},
                                  {daysAgo(0), 2.0, 12.5, 4, {}}}));
    EXPECT_EQ(service.getDailyThroughputSeries(31).size(), 4U);
}

TEST_F(PortfolioSeries, WindowsOfNoDaysGiveEmptySeries) {
    addRow(daysAgo(0), 1.0);
    addRow(daysAgo(0) + std::chrono::days(2), 1.0); // a clock set back leaves a row ahead of now
    EXPECT_TRUE(service.getDailyThroughputSeries(0).empty());
    EXPECT_TRUE(service.getParallelismSeries(-1).empty());
    EXPECT_TRUE(service.getRollingLeverageSeries(14, 0).empty());
    EXPECT_TRUE(service.getRollingLeverageSeries(0, 730).empty());
    EXPECT_EQ(service.getDailyThroughputSeries(1).size(), 2U);
    EXPECT_EQ(service.getCumulativeEffortSeries(std::numeric_limits<int>::max()).size(), 2U);
}
TEST_F(PortfolioSeries, RollingLeverageSeriesLooksBackOverRows) {
    for (int i = 0; i < 14; ++i) addRow(daysAgo(28 - 2 * i), 0.1 * (i + 1));
    EXPECT_TRUE(service.getRollingLeverageSeries(14, 730).empty());

    addRow(daysAgo(0), 5.0);
    auto series = service.getRollingLeverageSeries(14, 730);
    ASSERT_EQ(series.size(), 1U);
    EXPECT_EQ(series[0].date, daysAgo(0));
    EXPECT_NEAR(series[0].leverage, 10.5 / (14 / 30.0), tolerance);

    // Rows before the span only serve as look-back.
    series = service.getRollingLeverageSeries(2, 3);
    ASSERT_EQ(series.size(), 1U);
    EXPECT_NEAR(series[0].leverage, (1.3 + 1.4) / (2 / 30.0), tolerance);

    // An effortless window still gives its element.
    for (int hour = 1; hour <= 3; ++hour) addRow(daysAgo(0) + hours(hour), 0.0);
    EXPECT_EQ(service.getRollingLeverageSeries(2, 3).back().leverage, 0.0);
}
TEST_F(PortfolioSeries, ProjectRollingLeverageFromHistorySnapshots) {
    auto alpha = addProject("alpha");
    addHistory(alpha, now - std::chrono::days(20), 1.0);
    EXPECT_FALSE(service.calculateProjectRollingLeverage(alpha).leveragePrior14Day);
    addHistory(alpha, now - std::chrono::days(16), 1.5);
    auto leverage = service.calculateProjectRollingLeverage(alpha);
    EXPECT_NEAR(*leverage.leveragePrior14Day, 1.0714285714285714, tolerance);
    EXPECT_FALSE(leverage.leverage14Day);

    auto beta = addProject("beta");
    addHistory(beta, now - std::chrono::days(6), 2.0);
    addHistory(beta, now - std::chrono::days(4), 2.25);
    addHistory(beta, now - std::chrono::days(1), 2.5);
    addSnapshot(beta, now - hours(1))->cumulativeEffortMonths = 90.0;
    leverage = service.calculateProjectRollingLeverage(beta);
    EXPECT_NEAR(*leverage.leverage7Day, 2.142857142857143, tolerance);
    EXPECT_NEAR(*leverage.leverage14Day, 1.0714285714285714, tolerance);
    EXPECT_NEAR(*leverage.throughput7Day, 0.07142857142857142, tolerance);
    EXPECT_NEAR(*leverage.throughput14Day, 0.03571428571428571, tolerance);
    EXPECT_FALSE(leverage.leveragePrior7Day);

    // A snapshot exactly 7 days back opens the window; a fall counts as nothing.
    auto gamma = addProject("gamma");
    const platform::Date d7 = platform::LocalCalendar::addingDays(now, -7);
    addHistory(gamma, d7, 3.0);
    addHistory(gamma, d7 + hours(24), 2.0);
    addHistory(gamma, d7 + hours(48), 2.5);
    addHistory(gamma, d7 - hours(24), 1.0);
    leverage = service.calculateProjectRollingLeverage(gamma);
    EXPECT_NEAR(*leverage.throughput7Day, 0.5 / 7, tolerance);
    EXPECT_FALSE(leverage.leveragePrior7Day);
}

TEST_F(PortfolioSeries, OutputCompositionOfAProjectAndOfThePortfolio) {
    auto alpha = addProject("alpha");
    auto beta = addProject("beta");
    beta->status = ProjectStatus::archived;
    auto today = addActivity(alpha, daysAgo(0), 300, 100);
    today->docsLinesInserted = 50;
    today->configLinesInserted = 30;
    today->configLinesDeleted = 20;
    today->totalInsertions = 9999;         // not read
    addActivity(alpha, daysAgo(30), 1000); // outside a 30-day window at this time of day
    addActivity(beta, daysAgo(2), 0, 500);

    auto composition = service.getOutputComposition(alpha, 30);
    EXPECT_DOUBLE_EQ(composition.code.percent, 80.0);
    EXPECT_DOUBLE_EQ(composition.docs.percent, 10.0);
    EXPECT_DOUBLE_EQ(composition.config.percent, 10.0);
    EXPECT_EQ(std::tuple(composition.code.deletions, composition.config.deletions, composition.tests.percent,
                         composition.totalLinesTouched(), composition.inferredPhase()),
              std::tuple(100, 20, 0.0, 500, ProjectPhase::activeDevelopment));

    composition = service.getPortfolioOutputComposition(30);
    EXPECT_EQ(std::tuple(composition.code.deletions, composition.totalLinesTouched()), std::tuple(600, 1000));

    now = daysAgo(0);
    EXPECT_EQ(service.getOutputComposition(alpha, 30).code.insertions, 1300);
    EXPECT_EQ(service.getOutputComposition(addProject("quiet"), 30).inferredPhase(), ProjectPhase::planning);
    EXPECT_EQ(service.getOutputComposition(alpha, 0).totalLinesTouched(), 0);
}

TEST_F(PortfolioSeries, VelocityRetentionAgainstTheBaseline) {
    auto alpha = addProject("alpha");
    addActivity(alpha, daysAgo(30), 1000); // outside the 30 days at this time of day
    EXPECT_EQ(service.getVelocityRetention(alpha).assessment, RetentionAssessment::tooEarly);
    alpha->baselineVelocity = 200.0;
    auto retention = service.getVelocityRetention(alpha);
    EXPECT_EQ(retention.baselineVelocity, 200.0);
    EXPECT_FALSE(retention.currentVelocity);
    EXPECT_EQ(retention.assessment, RetentionAssessment::belowAverage);

    addActivity(alpha, daysAgo(20), 100, 40);
    addActivity(alpha, daysAgo(10), 60);
    addActivity(alpha, daysAgo(0), 0);
    retention = service.getVelocityRetention(alpha);
    EXPECT_NEAR(*retention.currentVelocity, 66.66666666666667, tolerance);
    EXPECT_NEAR(*retention.retentionPercent, 33.333333333333336, tolerance);
    EXPECT_EQ(retention.assessment, RetentionAssessment::belowAverage);

    alpha->baselineVelocity = 0.0;
    EXPECT_EQ(service.getVelocityRetention(alpha).retentionPercent, 0.0);
    alpha->baselineVelocity = 1e-320; // the ratio overflows: no percentage
    EXPECT_FALSE(service.getVelocityRetention(alpha).retentionPercent);
}

TEST_F(PortfolioSeries, VelocitySeriesAveragesTheActiveDaysOfEachWeek) {
    auto alpha = addProject("alpha");
    addActivity(alpha, daysAgo(10), 50);
    addActivity(alpha, daysAgo(9), 100, 50);

    const auto series = service.getVelocityTimeSeries(alpha, 90);
    ASSERT_EQ(series.size(), 8U);
    EXPECT_EQ(series[0].date, now - std::chrono::days(10));
    EXPECT_EQ(series[0].velocity, 50.0);
    for (std::size_t i = 1; i <= 6; ++i) EXPECT_EQ(series[i].velocity, 100.0);
    EXPECT_EQ(series[7].date, now - std::chrono::days(3));
    EXPECT_EQ(series[7].velocity, 150.0);

    EXPECT_TRUE(service.getVelocityTimeSeries(alpha, 7).empty());
    EXPECT_TRUE(service.getVelocityTimeSeries(alpha, 0).empty());
    EXPECT_TRUE(service.getVelocityTimeSeries(addProject("idle"), 90).empty());

    // A row on the window's first whole day: the first week of the window ends 7 days after its start.
    auto beta = addProject("beta");
    addActivity(beta, daysAgo(13), 70);
    const auto fortnight = service.getVelocityTimeSeries(beta, 14);
    ASSERT_EQ(fortnight.size(), 1U);
    EXPECT_EQ(std::pair(fortnight[0].date, fortnight[0].velocity), std::pair(now - std::chrono::days(7), 70.0));
}

TEST_F(PortfolioSeries, VelocitySeriesAcrossADaylightSavingChange) {
    // Clocks in Berlin go back on 25 October 2026: that day has 25 hours.
    now = localDate(2026, 10, 30, 12);
    auto alpha = addProject("alpha");
    addActivity(alpha, localDate(2026, 10, 24), 70);
    addActivity(alpha, localDate(2026, 10, 25), 30);

    const auto series = service.getVelocityTimeSeries(alpha, 14);
    ASSERT_FALSE(series.empty());
    EXPECT_EQ(series.front().date, localDate(2026, 10, 24, 12));
    EXPECT_EQ(series.front().velocity, 70.0);
    EXPECT_EQ(series[1].date, localDate(2026, 10, 25, 12));
    EXPECT_EQ(series[1].velocity, 50.0);
    EXPECT_EQ(series.back().date, localDate(2026, 10, 29, 12));
    EXPECT_EQ(series.back().velocity, 50.0);
    EXPECT_EQ(series.size(), 6U);
}

} // namespace
} // namespace norvane::testing
