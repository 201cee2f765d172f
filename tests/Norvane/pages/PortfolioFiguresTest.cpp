#include "Norvane/pages/PortfolioFigures.h"

#include <gtest/gtest.h>

#include "Norvane/pages/PortfolioExport.h"
#include "Norvane/pages/PortfolioProjectList.h"
#include "core/collection/CocomoEstimate.h"
#include "platform/LocalCalendar.h"

namespace norvane::app {
namespace {

using platform::LocalCalendar::addingDays;

const platform::Date testNow = platform::currentDate();

PortfolioProject project(std::string name, std::optional<std::int64_t> lines,
                         ProjectSizeBucket bucket = ProjectSizeBucket::greenfield) {
    PortfolioProject listed{platform::Uuid::random(), std::move(name), lines, bucket, std::nullopt, {}};
    listed.summary.name = listed.name;
    return listed;
}

UserPercentiles percentiles(std::optional<int> index) {
    UserPercentiles result;
    result.norvaneIndex = index;
    result.throughputPercentile = 40;
    result.sizeBucket = "Small";
    return result;
}

TEST(PortfolioFigures, HeroAndSummaryShowTheFiguresOrTheMissingMark) {
    PortfolioState state;
    state.projects = {project("a", 12'000)};
    state.projects.front().firstCommitAt = addingDays(testNow, -60);
    const double estimate = CocomoEstimate::calculate(12'000, ProjectType::organic, 150000, 2.4).effortMonths / 2.0;
    PortfolioMetrics metrics;
    auto [leverage, index] = PortfolioFigures::heroMetrics(metrics, state, testNow);
    EXPECT_EQ(leverage.value, QString::number(estimate, 'f', 1) + "x");
    EXPECT_FALSE(leverage.delta) << "an estimate has no delta";
    EXPECT_EQ(index.value, "--");
    EXPECT_FALSE(index.sublabel);
    EXPECT_EQ(PortfolioFigures::heroMetrics(std::nullopt, state, testNow).first.value, "--")
        << "before the metrics are read, not the estimate that they may replace";

    // The portfolio is as old as its oldest project; a younger one with no code count adds nothing.
    PortfolioState twoProjects = state;
    twoProjects.projects.push_back(project("b", std::nullopt));
    twoProjects.projects.back().firstCommitAt = addingDays(testNow, -30);
    EXPECT_EQ(PortfolioFigures::portfolioAgeDays(twoProjects.projects, testNow), 60);
    EXPECT_EQ(PortfolioFigures::heroMetrics(metrics, twoProjects, testNow).first.value, leverage.value);

    metrics.rollingLeverage14Day = 2.0;
    metrics.rollingLeveragePrior14Day = 2.5;
    EXPECT_EQ(PortfolioFigures::heroMetrics(metrics, state, testNow).first.value, "2.0x");
    EXPECT_EQ(PortfolioFigures::heroLeverageDelta(metrics)->formatted, "-0.5x");
    metrics.rollingLeveragePrior14Day = 0;
    EXPECT_FALSE(PortfolioFigures::heroLeverageDelta(metrics));
    for (const auto& [score, sublabel] :
         {std::pair{11, "11th percentile"}, {21, "21st percentile"}, {102, "102nd percentile"}}) {
        state.userPercentiles = percentiles(score);
        EXPECT_EQ(*PortfolioFigures::heroMetrics(metrics, state, testNow).second.sublabel, sublabel);
    }

    state.portfolioRetention = 82.9;
    state.industryRetentionMedian = 64.99;
    auto stats = PortfolioFigures::summaryStats(std::nullopt, state);
    EXPECT_EQ(stats[0].value, "12,000");
    EXPECT_EQ(stats[0].sublabel, "1 projects");
    EXPECT_EQ(stats[1].value, "--");
    EXPECT_EQ(stats[2].value, "82%");
    EXPECT_EQ(stats[2].sublabel, "vs 64% median");
    state.industryRetentionMedian.reset();
    EXPECT_FALSE(PortfolioFigures::summaryStats(metrics, state)[2].sublabel);

    std::vector<MetricsSource::LeveragePoint> series(40);
    for (std::size_t day = 0; day < series.size(); ++day) series[day].leverage = double(day);
    EXPECT_EQ(PortfolioFigures::sparkline(series).size(), 14U);
    EXPECT_EQ(PortfolioFigures::sparkline(series).front(), 26.0);
}

TEST(PortfolioFigures, ProjectsShareTheirLinesAndTheLargestBucketWins) {
    const std::vector<PortfolioProject> projects{project("a", 3'000), project("b", 1'000), project("c", std::nullopt)};
    EXPECT_EQ(PortfolioFigures::shareText(projects[0], 4'000), "75%");
    EXPECT_EQ(PortfolioFigures::shareText(projects[1], 4'000), "25%");
    EXPECT_FALSE(PortfolioFigures::shareText(projects[2], 4'000)) << "no code count, no share";
    EXPECT_EQ(PortfolioFigures::shareText(project("d", 0), 0), "0%");
    const auto rows = PortfolioProjectList::rowsOf(projects);
    EXPECT_EQ(rows[0].lines, "3,000 lines");
    EXPECT_EQ(rows[2].lines, "No scc data");
    EXPECT_FALSE(rows[2].share);

    const std::vector<PortfolioProject> mixed{
        project("a", 1, ProjectSizeBucket::large), project("b", 1, ProjectSizeBucket::small),
        project("c", 1, ProjectSizeBucket::large), project("d", 1, ProjectSizeBucket::small)};
    EXPECT_EQ(PortfolioFigures::dominantSizeBucket(mixed), ProjectSizeBucket::small) << "of equal ones the smaller";
    EXPECT_EQ(PortfolioFigures::projectsBySize(mixed)[3].second.size(), 2U);

    std::set<platform::Date> active{platform::LocalCalendar::startOfDay(testNow)};
    for (int day : {1, 27, 28, 40}) active.insert(platform::LocalCalendar::startOfDay(addingDays(testNow, -day)));
    EXPECT_DOUBLE_EQ(PortfolioFigures::activeDaysPerWeek(active, testNow), 0.75) << "today and 27 days back count";
}

TEST(PortfolioExport, TheDocumentHoldsThePagesFiguresOrTheirStandIns) {
    PortfolioState state;
    state.compositionDays = 90;
    state.projects = {project("atlas", 4'000)};
    auto document = PortfolioExport::document(state, testNow);
    EXPECT_EQ(document.norvaneVersion, "0.1.0");
    EXPECT_TRUE(document.includesProjectNames);
    EXPECT_EQ(document.dateRange.days, 90);
    EXPECT_EQ(document.dateRange.end, testNow);
    EXPECT_FALSE(document.norvaneIndex);
    EXPECT_FALSE(document.velocityRetention);
    EXPECT_EQ(document.outputComposition.phase, "Unknown");
    EXPECT_EQ(document.outputComposition.totalLines, 0);
    EXPECT_EQ(document.streak.currentStreak, 0);
    ASSERT_EQ(document.projects.size(), 1U);
    EXPECT_EQ(document.projects.front().name, "atlas");

    state.userPercentiles = percentiles(std::nullopt);
    EXPECT_FALSE(PortfolioExport::document(state, testNow).norvaneIndex) << "percentiles without an index";
    state.userPercentiles = percentiles(73);
    state.outputComposition = OutputComposition{};
    state.outputComposition->code = {120, 30, 80.0};
    state.outputComposition->tests = {10, 5, 20.0};
    state.productivityStreak = ProductivityStreak{};
    state.productivityStreak->currentStreak = 45;
    state.portfolioRetention = 69.99;
    document = PortfolioExport::document(state, testNow);
    EXPECT_EQ(document.norvaneIndex->score, 73);
    EXPECT_EQ(document.outputComposition.codeLines, 150);
    EXPECT_EQ(document.outputComposition.totalLines, 165);
    EXPECT_EQ(document.streak.currentMilestone, "1 Month");
    EXPECT_EQ(document.velocityRetention->trend, "declining");
    EXPECT_EQ(PortfolioExport::retentionTrend(70), "stable");
    EXPECT_EQ(PortfolioExport::retentionTrend(90), "improving");
}

} // namespace
} // namespace norvane::app
