#include "tests/core/analytics/PortfolioStoreFixture.h"

namespace norvane::testing {
namespace {

class PortfolioMetricsTest : public PortfolioStoreFixture {};

TEST_F(PortfolioMetricsTest, EmptyStoreGivesZeroAndAbsentFigures) {
    const auto metrics = service.calculateMetrics(7);
    EXPECT_TRUE(allFinite(metrics));
    EXPECT_EQ(metrics.capacityUtilization, 0.0);
    EXPECT_FALSE(metrics.peakPeriodStart);
    EXPECT_EQ(metrics.portfolioLeverage, 0.0);
    EXPECT_FALSE(metrics.leveragePrior);
    // An empty window is neither churning nor spread over projects.
    EXPECT_EQ(metrics.churnRatio, 1.0);
    EXPECT_EQ(metrics.focusIndex, 1.0);
    EXPECT_FALSE(metrics.rollingLeverage7Day);
    EXPECT_FALSE(metrics.peak7DayLeverage);
}

TEST_F(PortfolioMetricsTest, WindowMeansCountOnlyDaysWithARow) {
    addRow(daysAgo(0), 1.0, 0, 2);
    addRow(daysAgo(3), 3.0, 0, 1);
    addRow(daysAgo(7), 100.0, 0, 9); // a week back lies before the window's start at this time of day
    const auto metrics = service.calculateMetrics(7);
    EXPECT_DOUBLE_EQ(metrics.dailyThroughput, 2.0);
    EXPECT_DOUBLE_EQ(metrics.parallelismFactor, 1.5);
    EXPECT_DOUBLE_EQ(metrics.peakThroughput, (100.0 + 3.0 + 1.0) / 3);
    EXPECT_NEAR(metrics.capacityUtilization, 2.0 / (104.0 / 3) * 100, tolerance);
}

TEST_F(PortfolioMetricsTest, WindowsOfNoDaysLeaveTheWindowFiguresEmpty) {
    auto alpha = addProject("alpha", daysAgo(100));
    addHistory(alpha, daysAgo(1, 9), 1.0, 10, 5);
    addHistory(alpha, daysAgo(0, 9), 2.0, 30, 5);
    service.buildDailySnapshots();
    for (int days : {0, -5}) {
        const auto metrics = service.calculateMetrics(days);
        EXPECT_EQ(metrics.dailyThroughput, 0.0);
        EXPECT_EQ(metrics.peakThroughput, 0.0);
        EXPECT_EQ(metrics.recentInsertions, 0);
        EXPECT_TRUE(metrics.projectShares.empty());
        EXPECT_DOUBLE_EQ(metrics.totalEffortMonths, 2.0);
        EXPECT_TRUE(allFinite(metrics));
    }
}

TEST_F(PortfolioMetricsTest, PeakThroughputTakesTheBestRunOfRows) {
    const PortfolioMetricsService::Rows rows = {addRow(daysAgo(9), 1.0), addRow(daysAgo(6), 4.0),
                                                addRow(daysAgo(5), 4.0), addRow(daysAgo(1), 0.0)};
    auto peak = service.peakThroughput(rows, 2);
    EXPECT_DOUBLE_EQ(peak.peak, 4.0);
    EXPECT_EQ(peak.start, daysAgo(6));
    EXPECT_EQ(peak.end, daysAgo(5));

    peak = service.peakThroughput({rows[0], rows[1], rows[3]}, 7);
    EXPECT_DOUBLE_EQ(peak.peak, 5.0 / 3);
    EXPECT_EQ(peak.start, daysAgo(9));
    EXPECT_EQ(peak.end, daysAgo(1));

    peak = service.peakThroughput({rows[3], rows[3]}, 1);
    EXPECT_EQ(peak.peak, 0.0);
    EXPECT_EQ(peak.start, daysAgo(1));

    EXPECT_FALSE(service.peakThroughput({}, 7).start);
    EXPECT_FALSE(service.peakThroughput(rows, 0).start);
}

TEST_F(PortfolioMetricsTest, CapacityIsCappedAtOneHundred) {
    addRow(daysAgo(0), 3.0);
    addRow(daysAgo(10), 1.0);
    addRow(daysAgo(11), 1.0);
    // The window mean divides by one row, the peak by two.
    EXPECT_DOUBLE_EQ(service.calculateMetrics(2).capacityUtilization, 100.0);
}

TEST_F(PortfolioMetricsTest, LeverageAgainstThirtyDaysAgo) {
    addProject("alpha", now - std::chrono::days(90));
    addRow(daysAgo(30), 0.5, 2.0);
    addRow(daysAgo(0), 0.5, 6.0);
    const auto metrics = service.calculateMetrics(7);
    EXPECT_EQ(metrics.portfolioAgeDays, 90);
    EXPECT_DOUBLE_EQ(metrics.totalEffortMonths, 6.0);
    EXPECT_DOUBLE_EQ(metrics.portfolioLeverage, 2.0);
    ASSERT_TRUE(metrics.leveragePrior);
    EXPECT_DOUBLE_EQ(*metrics.leveragePrior, 1.0);
    EXPECT_DOUBLE_EQ(*metrics.leverageGrowthRate, 100.0);
}

TEST_F(PortfolioMetricsTest, NoPriorLeverageForYoungOrEffortlessPortfolios) {
    auto alpha = addProject("alpha", now - std::chrono::days(30));
    addRow(daysAgo(31), 0.0, 2.0);
    addRow(daysAgo(0), 1.0, 3.0);
    auto metrics = service.calculateMetrics(7);
    EXPECT_EQ(metrics.portfolioAgeDays, 30);
    EXPECT_FALSE(metrics.leveragePrior);
    EXPECT_FALSE(metrics.leverageGrowthRate);

    alpha->firstCommitAt = now - std::chrono::days(90);
    addRow(daysAgo(30), 0.0, 0.0);
    metrics = service.calculateMetrics(7);
    EXPECT_FALSE(metrics.leveragePrior);

    alpha->firstCommitAt = now + std::chrono::days(3);
    metrics = service.calculateMetrics(7);
    EXPECT_EQ(metrics.portfolioAgeDays, -3);
    EXPECT_EQ(metrics.portfolioLeverage, 0.0);
}

TEST_F(PortfolioMetricsTest, ChurnFromHistorySnapshots) {
    auto alpha = addProject("alpha");
    auto beta = addProject("beta");
    addHistory(alpha, daysAgo(5, 10), 1.0, 100, 40);
    addHistory(alpha, daysAgo(1, 10), 2.0, 160, 70);
    // A fall (a re-imported history) counts as nothing, and one snapshot alone adds nothing.
    addHistory(beta, daysAgo(4, 10), 1.0, 500, 500);
    addHistory(beta, daysAgo(2, 10), 1.0, 400, 400);
    addHistory(addProject("gamma"), daysAgo(2, 10), 1.0, 900, 900);
    auto activity = DailyActivity::create(alpha, daysAgo(1));
    activity->totalInsertions = 1000;
    context->insert(activity);

    const auto churn = service.recentChurn(7);
    EXPECT_EQ(churn.insertions, 60);
    EXPECT_EQ(churn.deletions, 30);
    EXPECT_DOUBLE_EQ(churn.churnRatio, 1.5);
    EXPECT_NEAR(churn.netGrowthRate, 100.0 / 3, tolerance);
}

TEST_F(PortfolioMetricsTest, ChurnFallsBackToDailyActivity) {
    auto alpha = addProject("alpha");
    addHistory(alpha, daysAgo(2, 10), 1.0, 100, 40);
    auto activity = DailyActivity::create(alpha, daysAgo(1));
    activity->totalInsertions = 50;
    context->insert(activity);
    auto old = DailyActivity::create(alpha, daysAgo(30));
    old->totalDeletions = 70;
    context->insert(old);

    auto churn = service.recentChurn(7);
    EXPECT_EQ(churn.insertions, 50);
    EXPECT_EQ(churn.deletions, 0);
    EXPECT_DOUBLE_EQ(churn.churnRatio, 1.0);
    EXPECT_DOUBLE_EQ(churn.netGrowthRate, 100.0);

    activity->totalDeletions = 50;
    churn = service.recentChurn(7);
    EXPECT_DOUBLE_EQ(churn.churnRatio, 2.0);
    EXPECT_DOUBLE_EQ(churn.netGrowthRate, 0.0);

    churn = service.recentChurn(0);
    EXPECT_EQ(churn.insertions, 0);
    EXPECT_EQ(churn.churnRatio, 1.0);
}

TEST_F(PortfolioMetricsTest, FocusSharesOfHistorySnapshots) {
    auto alpha = addProject("A");
    auto beta = addProject("B");
    for (int day : {1, 2, 3}) addHistory(alpha, daysAgo(day, 10), 1.0);
    addHistory(beta, daysAgo(2, 10), 1.0);
    addHistory(beta, daysAgo(9, 10), 1.0);
    addHistory(nullptr, daysAgo(1, 10), 1.0);

    const auto focus = service.projectFocus(7);
    EXPECT_EQ(focus.activeProjects, 2);
    EXPECT_DOUBLE_EQ(focus.shares.at("A"), 75.0);
    EXPECT_DOUBLE_EQ(focus.shares.at("B"), 25.0);
    EXPECT_DOUBLE_EQ(focus.focusIndex, 0.625);

    const auto metrics = service.calculateMetrics(7);
    EXPECT_EQ(metrics.activeProjectsInWindow, 2);
    EXPECT_DOUBLE_EQ(metrics.focusIndex, 0.625);
}

TEST_F(PortfolioMetricsTest, RollingLeverageOfOneRowToday) {
    addRow(daysAgo(0), 0.7);
    const auto rolling = service.rollingLeverage();
    EXPECT_NEAR(*rolling.leverage7Day, 3.0, tolerance);
    EXPECT_NEAR(*rolling.leverage14Day, 1.5, tolerance);
    EXPECT_NEAR(*rolling.throughput7Day, 0.1, tolerance);
    EXPECT_NEAR(*rolling.throughput14Day, 0.05, tolerance);
    EXPECT_NEAR(*rolling.leverage30Day, 0.7, tolerance);
    EXPECT_FALSE(rolling.leveragePrior7Day);
    EXPECT_FALSE(rolling.leveragePrior14Day);
    EXPECT_FALSE(rolling.leveragePrior30Day);
}

TEST_F(PortfolioMetricsTest, RollingLeverageWindowsIncludeTheirStart) {
    // With the clock at midnight, the row of 7 days ago lies exactly on the window's start.
    now = daysAgo(0);
    addRow(daysAgo(7), 0.7);
    addRow(daysAgo(8), 0.7);
    addRow(daysAgo(45), 1.0);
    const auto rolling = service.rollingLeverage();
    EXPECT_NEAR(*rolling.leverage7Day, 3.0, tolerance);
    EXPECT_NEAR(*rolling.leveragePrior7Day, 3.0, tolerance);
    EXPECT_NEAR(*rolling.leverage14Day, 3.0, tolerance);
    EXPECT_FALSE(rolling.leveragePrior14Day);
    EXPECT_NEAR(*rolling.leveragePrior30Day, 1.0, tolerance);

    now = daysAgo(-100);
    EXPECT_FALSE(service.rollingLeverage().leverage30Day);
}

TEST_F(PortfolioMetricsTest, PeakLeverageNeedsSevenRows) {
    for (int day = 1; day <= 6; ++day) addRow(daysAgo(day * 2), 1.0);
    EXPECT_FALSE(service.peakLeverage(5.0, 5.0).peak7DayLeverage);
    EXPECT_FALSE(service.peakLeverage(5.0, 5.0).percentile7);

    for (int day = 7; day <= 10; ++day) addRow(daysAgo(day * 2), 1.0);
    const auto peaks = service.peakLeverage(5.0, 5.0);
    EXPECT_NEAR(*peaks.peak7DayLeverage, 30.0, tolerance);
    EXPECT_FALSE(peaks.peak14DayLeverage);
    EXPECT_FALSE(peaks.percentile14);
}

TEST_F(PortfolioMetricsTest, PeakLeverageTakesTheEarliestBestWindowAndRanksTheCurrentOne) {
    const double unit = 7 / 30.0;
    const double efforts[] = {0, 0, 2 * unit, 0, 0, 0, 0, 3 * unit, 0, 0};
    for (int i = 0; i < 10; ++i) addRow(daysAgo(30 - 2 * i), efforts[i]);
    // The 7-row windows have leverage 2, 5, 5 and 3.
    auto peaks = service.peakLeverage(std::nullopt, std::nullopt);
    ASSERT_TRUE(peaks.peak7DayLeverage);
    EXPECT_NEAR(*peaks.peak7DayLeverage, 5.0, tolerance);
    EXPECT_EQ(peaks.peak7DayEnd, daysAgo(16));
    EXPECT_EQ(peaks.peak7DayStart, daysAgo(22));
    EXPECT_FALSE(peaks.percentile7);

    peaks = service.peakLeverage(*peaks.peak7DayLeverage, std::nullopt);
    EXPECT_DOUBLE_EQ(*peaks.percentile7, 50.0);
    EXPECT_DOUBLE_EQ(*service.peakLeverage(100.0, std::nullopt).percentile7, 100.0);
    EXPECT_DOUBLE_EQ(*service.peakLeverage(1.0, std::nullopt).percentile7, 0.0);
}

TEST_F(PortfolioMetricsTest, FourteenRowPeaksAndZeroEffortWindows) {
    for (int i = 0; i < 14; ++i) addRow(daysAgo(20 - i), 0.0);
    auto peaks = service.peakLeverage(1.0, 1.0);
    EXPECT_FALSE(peaks.peak7DayLeverage);
    EXPECT_FALSE(peaks.peak14DayLeverage);
    EXPECT_FALSE(peaks.percentile14);

    addRow(daysAgo(1), 1.4);
    peaks = service.peakLeverage(1.0, 1.0);
    EXPECT_NEAR(*peaks.peak14DayLeverage, 3.0, tolerance);
    EXPECT_EQ(peaks.peak14DayEnd, daysAgo(1));
    EXPECT_EQ(peaks.peak14DayStart, daysAgo(14));
    EXPECT_DOUBLE_EQ(*peaks.percentile14, 0.0);
}

TEST_F(PortfolioMetricsTest, FiguresOfARebuiltPortfolio) {
    auto alpha = addProject("alpha", daysAgo(60));
    auto beta = addProject("beta", daysAgo(40));
    for (int week = 0; week < 8; ++week) addHistory(alpha, daysAgo(56 - 7 * week, 11), 0.5 * (week + 1));
    for (int week = 0; week < 5; ++week) addHistory(beta, daysAgo(38 - 7 * week, 14), 0.25 * (week + 1));
    EXPECT_EQ(service.buildDailySnapshots(), 13);

    const auto metrics = service.calculateMetrics(7);
    EXPECT_DOUBLE_EQ(metrics.totalEffortMonths, 4.0 + 1.25);
    EXPECT_EQ(metrics.portfolioAgeDays, 60);
    EXPECT_NEAR(metrics.portfolioLeverage, 5.25 / 2, tolerance);
    EXPECT_TRUE(metrics.peak7DayLeverage);
    EXPECT_LE(metrics.capacityUtilization, 100.0);
    EXPECT_TRUE(allFinite(metrics));
}

} // namespace
} // namespace norvane::testing
