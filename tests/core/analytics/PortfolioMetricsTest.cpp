#include "tests/core/analytics/PortfolioStoreFixture.h"

namespace norvane::testing {
namespace {

class PortfolioMetricsTest : public PortfolioStoreFixture {};

TEST_F(PortfolioMetricsTest, EmptyStoreGivesZeroAndAbsentFigures) {
    const auto metrics = service.calculateMetrics(7);
    EXPECT_TRUE(allFinite(metrics));
    // An empty window is neither churning nor spread over projects.
    EXPECT_EQ(
        std::tuple(metrics.capacityUtilization, metrics.portfolioLeverage, metrics.churnRatio, metrics.focusIndex),
        std::tuple(0.0, 0.0, 1.0, 1.0));
    EXPECT_FALSE(metrics.peakPeriodStart || metrics.leveragePrior || metrics.rollingLeverage7Day ||
                 metrics.peak7DayLeverage);
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

TEST_F(PortfolioMetricsTest, PeakThroughputTakesTheEarliestBestRunOfRows) {
    struct Case {
        std::vector<double> efforts;
        int days;
        double peak;
        std::optional<int> first;
        std::optional<int> last;
    };
    const Case cases[] = {
        {{1, 4, 4, 0}, 2, 4.0, 1, 2},  {{4, 4, 0, 4, 4}, 2, 4.0, 0, 1}, // a tie goes to the earliest run
        {{1, 0, 3, 5}, 2, 4.0, 2, 3},                                   // the last run is one too
        {{1, 4, 0}, 7, 5.0 / 3, 0, 2},                                  // fewer rows than days: all of them
        {{0, 0}, 1, 0.0, 0, 0},        {{}, 7, 0.0, {}, {}},
        {{1, 4}, 0, 0.0, {}, {}},
    };
    for (const auto& c : cases) {
        PortfolioMetricsService::Rows rows;
        for (std::size_t i = 0; i < c.efforts.size(); ++i) {
            rows.push_back(addRow(daysAgo(static_cast<int>(20 - 2 * i)), c.efforts[i]));
        }
        const auto dateOf = [&rows](std::optional<int> index) {
            return index ? std::optional(rows[static_cast<std::size_t>(*index)]->date) : std::nullopt;
        };
        const auto peak = service.peakThroughput(rows, c.days);
        EXPECT_DOUBLE_EQ(peak.peak, c.peak) << c.efforts.size();
        EXPECT_EQ(peak.start, dateOf(c.first)) << c.efforts.size();
        EXPECT_EQ(peak.end, dateOf(c.last)) << c.efforts.size();
    }
}

TEST_F(PortfolioMetricsTest, CapacityIsCappedAtOneHundred) {
    addRow(daysAgo(0), 3.0);
    addRow(daysAgo(10), 1.0);
    addRow(daysAgo(11), 1.0);
    // The window mean divides by one row, the peak by two.
    EXPECT_DOUBLE_EQ(service.calculateMetrics(2).capacityUtilization, 100.0);
}

TEST_F(PortfolioMetricsTest, LeverageAgainstThirtyDaysAgo) {
    auto alpha = addProject("alpha");
    alpha->firstCommitAt = now - std::chrono::days(90);
    addRow(daysAgo(31), 0.5, 0.0);
    auto monthAgo = addRow(daysAgo(30), 0.5, 2.0);
    addRow(daysAgo(0), 0.5, 6.0);
    auto metrics = service.calculateMetrics(7);
    EXPECT_EQ(metrics.portfolioAgeDays, 90);
    EXPECT_DOUBLE_EQ(metrics.portfolioLeverage, 2.0);
    EXPECT_DOUBLE_EQ(*metrics.leveragePrior, 2.0 / (60 / 30.0));
    EXPECT_DOUBLE_EQ(*metrics.leverageGrowthRate, 100.0);

    // Thirty days or less, or no effort 30 days ago: no prior.
    alpha->firstCommitAt = now - std::chrono::days(30);
    EXPECT_FALSE(service.calculateMetrics(7).leveragePrior);
    alpha->firstCommitAt = now - std::chrono::days(90);
    monthAgo->cumulativeEffortMonths = 0.0;
    EXPECT_FALSE(service.calculateMetrics(7).leverageGrowthRate);
    alpha->firstCommitAt = now + std::chrono::days(3);
    metrics = service.calculateMetrics(7);
    EXPECT_EQ(metrics.portfolioAgeDays, -3);
    EXPECT_EQ(metrics.portfolioLeverage, 0.0);
}

TEST_F(PortfolioMetricsTest, ChurnFromHistorySnapshotsElseFromDailyActivity) {
    auto alpha = addProject("alpha");
    auto beta = addProject("beta");
    addHistory(alpha, daysAgo(5, 10), 1.0, 100, 40);
    auto activity = DailyActivity::create(alpha, daysAgo(1));
    activity->totalInsertions = 50;
    context->insert(activity);
    auto old = DailyActivity::create(alpha, daysAgo(30));
    old->totalDeletions = 70;
    context->insert(old);
    // One history snapshot alone adds nothing: the daily activity of the window stands in.
    auto churn = service.recentChurn(7);
    EXPECT_EQ(churn.insertions, 50);
    EXPECT_EQ(churn.deletions, 0);
    EXPECT_DOUBLE_EQ(churn.churnRatio, 1.0);
    EXPECT_DOUBLE_EQ(churn.netGrowthRate, 100.0);

    addHistory(alpha, daysAgo(1, 10), 2.0, 160, 70);
    // A fall (a re-imported history) counts as nothing.
    addHistory(beta, daysAgo(4, 10), 1.0, 500, 500);
    addHistory(beta, daysAgo(2, 10), 1.0, 400, 400);
    churn = service.recentChurn(7);
    EXPECT_EQ(churn.insertions, 60);
    EXPECT_EQ(churn.deletions, 30);
    EXPECT_DOUBLE_EQ(churn.churnRatio, 1.5);
    EXPECT_NEAR(churn.netGrowthRate, 100.0 / 3, tolerance);
    EXPECT_EQ(service.recentChurn(0).churnRatio, 1.0);
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

TEST_F(PortfolioMetricsTest, RollingLeverageWindowsIncludeTheirStart) {
    addRow(daysAgo(0), 0.7);
    auto rolling = service.rollingLeverage();
    EXPECT_NEAR(*rolling.leverage7Day, 3.0, tolerance);
    EXPECT_NEAR(*rolling.leverage14Day, 1.5, tolerance);
    EXPECT_NEAR(*rolling.throughput7Day, 0.1, tolerance);
    EXPECT_NEAR(*rolling.throughput14Day, 0.05, tolerance);
    EXPECT_FALSE(rolling.leveragePrior7Day || rolling.leveragePrior14Day || rolling.leveragePrior30Day);

    // With the clock at midnight, the rows of 7 and 30 days ago lie exactly on their windows' start.
    now = daysAgo(0);
    addRow(daysAgo(7), 0.7);
    addRow(daysAgo(8), 0.7);
    addRow(daysAgo(30), 0.3);
    addRow(daysAgo(45), 1.0);
    rolling = service.rollingLeverage();
    EXPECT_NEAR(*rolling.leverage7Day, 3.0, tolerance);
    EXPECT_NEAR(*rolling.leveragePrior7Day, 3.0, tolerance);
    EXPECT_FALSE(rolling.leveragePrior14Day);
    EXPECT_NEAR(*rolling.leverage30Day, 1.7, tolerance);
    EXPECT_NEAR(*rolling.leveragePrior30Day, 1.0, tolerance);
    now = daysAgo(-100);
    EXPECT_FALSE(service.rollingLeverage().leverage30Day);
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

TEST_F(PortfolioMetricsTest, PeakLeverageNeedsSevenOrFourteenRowsWithEffort) {
    for (int i = 0; i < 6; ++i) addRow(daysAgo(20 - i), 1.0);
    EXPECT_FALSE(service.peakLeverage(5.0, 5.0).peak7DayLeverage);
    for (int i = 6; i < 14; ++i) addRow(daysAgo(20 - i), 0.0);
    auto peaks = service.peakLeverage(1.0, 1.0);
    EXPECT_NEAR(*peaks.peak7DayLeverage, 6.0 / (7 / 30.0), tolerance);
    EXPECT_EQ(peaks.peak7DayEnd, daysAgo(14));
    EXPECT_NEAR(*peaks.peak14DayLeverage, 6.0 / (14 / 30.0), tolerance);
    EXPECT_EQ(peaks.peak14DayStart, daysAgo(20));
    EXPECT_DOUBLE_EQ(*peaks.percentile14, 0.0);

    for (const auto& row : storedRows()) row->dailyEffortMonths = 0.0;
    peaks = service.peakLeverage(1.0, 1.0);
    EXPECT_FALSE(peaks.peak7DayLeverage);
    EXPECT_FALSE(peaks.peak14DayLeverage);
    EXPECT_FALSE(peaks.percentile14);
}

TEST_F(PortfolioMetricsTest, PeakLeverageReachesTheLastWindowAndAWindowOfEveryRow) {
    // Seven rows of 0.7 effort-months: one window of 4.9 months over 7/30 of a month.
    for (int i = 0; i < 7; ++i) addRow(daysAgo(6 - i), 0.7);
    auto peaks = service.peakLeverage(std::nullopt, std::nullopt);
    ASSERT_TRUE(peaks.peak7DayLeverage);
    EXPECT_NEAR(*peaks.peak7DayLeverage, 21.0, tolerance);
    EXPECT_EQ(std::pair(peaks.peak7DayStart, peaks.peak7DayEnd),
              std::pair(std::optional(daysAgo(6)), std::optional(daysAgo(0))));
    EXPECT_FALSE(peaks.peak14DayLeverage);

    // Seven rows of 0.1 before them: the best 7-row window is still the last, and the one 14-row
    // window holds 0.7 + 4.9 = 5.6 months over 14/30 of a month.
    for (int i = 0; i < 7; ++i) addRow(daysAgo(13 - i), 0.1);
    peaks = service.peakLeverage(std::nullopt, std::nullopt);
    ASSERT_TRUE(peaks.peak7DayLeverage && peaks.peak14DayLeverage);
    EXPECT_NEAR(*peaks.peak7DayLeverage, 21.0, tolerance);
    EXPECT_EQ(std::pair(peaks.peak7DayStart, peaks.peak7DayEnd),
              std::pair(std::optional(daysAgo(6)), std::optional(daysAgo(0))));
    EXPECT_NEAR(*peaks.peak14DayLeverage, 12.0, tolerance);
    EXPECT_EQ(std::pair(peaks.peak14DayStart, peaks.peak14DayEnd),
              std::pair(std::optional(daysAgo(13)), std::optional(daysAgo(0))));
}

} // namespace
} // namespace norvane::testing
