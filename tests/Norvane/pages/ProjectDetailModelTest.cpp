#include "Norvane/pages/ProjectDetailModel.h"

#include <gtest/gtest.h>

#include "Norvane/pages/CostComparison.h"
#include "tests/Norvane/components/ComponentTestSupport.h"

namespace norvane::app {
namespace {

using norvane::testing::momentDaysAgo;

/// The cache's figures of a project read with this 14-day leverage.
CachedProjectFigures rolling(std::optional<double> current, std::optional<double> prior) {
    ProjectRollingLeverage leverage;
    leverage.leverage14Day = current;
    leverage.leveragePrior14Day = prior;
    return {leverage, true, true};
}

// Leverage is effort over the age in months of 30 days, a part month counting as its fraction:
// 45 days are 1.5 months and 20 days 2/3 of one.
TEST(ProjectDetailModel, LeverageCountsTheAgeInMonthsWithTheirFractions) {
    auto project = Project::create("Atlas", "/tmp/atlas", std::nullopt, ProjectType::organic);
    ProjectPageData measured;
    // Basic COCOMO, organic: 2.4 x 12^1.05 = 32.610056 effort-months for 12,000 lines.
    measured.latestMeasurement = CodeCount{12'000, 40, 900, 11'000, 800, "Swift"};
    ProjectPageData imported = measured;
    imported.newestHistory = HistoryTotals{9.0, 30'000};
    const struct {
        int age;
        double estimated;
        double cumulative;
    } cases[] = {{45, 32.610056 / 1.5, 9.0 / 1.5}, {20, 32.610056 * 1.5, 9.0 * 1.5}};
    for (const auto& c : cases) {
        project->firstCommitAt = momentDaysAgo(c.age);
        const auto now = platform::currentDate();
        EXPECT_NEAR(*ProjectDetailModel(*project, measured, CachedProjectFigures{}, now, {})
                         .leverageValue(LeverageDisplayMode::rolling14Day),
                    c.estimated, 1e-5)
            << c.age;
        EXPECT_DOUBLE_EQ(*ProjectDetailModel(*project, imported, std::nullopt, now, {})
                              .leverageValue(LeverageDisplayMode::cumulative),
                         c.cumulative)
            << c.age;
    }
}

TEST(ProjectDetailModel, LeverageComesFromItsModeAndFallsBackToTheSizeEstimate) {
    auto project = Project::create("Atlas", "/tmp/atlas", std::nullopt, ProjectType::organic);
    project->firstCommitAt = momentDaysAgo(60);
    ProjectPageData data;
    data.latestMeasurement = CodeCount{12'000, 40, 900, 11'000, 800, "Swift"};
    const auto now = platform::currentDate();
    const double estimate =
        CocomoEstimate::calculate(12'000, ProjectType::organic, 150000, 2.4).effortMonths / (60 / 30.0);
    const CostRates rates;

    const ProjectDetailModel uncached(*project, data, CachedProjectFigures{}, now, rates);
    EXPECT_DOUBLE_EQ(*uncached.leverageValue(LeverageDisplayMode::rolling14Day), estimate);
    EXPECT_DOUBLE_EQ(*uncached.leverageValue(LeverageDisplayMode::cumulative), estimate);
    EXPECT_FALSE(uncached.leverageDelta(LeverageDisplayMode::rolling14Day)) << "an estimate has no delta";

    data.newestHistory = HistoryTotals{0.0, 30'000};
    const ProjectDetailModel noEffort(*project, data, CachedProjectFigures{}, now, rates);
    EXPECT_DOUBLE_EQ(*noEffort.leverageValue(LeverageDisplayMode::cumulative),
                     CocomoEstimate::calculate(30'000, ProjectType::organic, 150000, 2.4).effortMonths / 2.0);
    data.newestHistory = HistoryTotals{9.0, 30'000};
    const ProjectDetailModel cached(*project, data, rolling(2.5, 3.0), now, rates);
    EXPECT_DOUBLE_EQ(*cached.leverageValue(LeverageDisplayMode::cumulative), 4.5);
    EXPECT_EQ(cached.leverageMetric(LeverageDisplayMode::rolling14Day).value, "2.5x");
    EXPECT_EQ(cached.leverageDelta(LeverageDisplayMode::rolling14Day)->formatted, "-0.5x");
    EXPECT_FALSE(cached.leverageDelta(LeverageDisplayMode::cumulative));
    EXPECT_FALSE(ProjectDetailModel(*project, data, rolling(2.5, 0.0), now, rates)
                     .leverageDelta(LeverageDisplayMode::rolling14Day))
        << "no prior pace to compare with";

    project->firstCommitAt.reset();
    const ProjectPageData nothing;
    const ProjectDetailModel undated(*project, nothing, CachedProjectFigures{}, now, rates);
    EXPECT_EQ(undated.leverageMetric(LeverageDisplayMode::cumulative).value, "--");
    QStringList tiles;
    for (const auto& stat : undated.summaryStats()) tiles << stat.value + "/" + stat.sublabel.value_or("");
    EXPECT_EQ(tiles, QStringList({"0/0-5K lines", "--/", "--/", "--/since first commit"}));
    EXPECT_EQ(undated.maturityMetric().sublabel, "Greenfield");
    EXPECT_EQ(undated.emptyState(), ProjectEmptyState::noData);
    EXPECT_EQ(ProjectDetailModel::leverageMode("anything else"), LeverageDisplayMode::rolling14Day);
}

// Found at start-up: before the cache was first read, "14-Day" showed the size estimate, which the
// cached figure replaced a moment later, and the sections of the cache's figures came later and
// moved the page down.
TEST(ProjectDetailModel, BeforeTheCacheHasReadTheProjectItsFiguresHoldTheirPlace) {
    auto project = Project::create("Atlas", "/tmp/atlas", std::nullopt, ProjectType::organic);
    project->firstCommitAt = momentDaysAgo(60);
    ProjectPageData data;
    data.latestMeasurement = CodeCount{12'000, 40, 900, 11'000, 800, "Swift"};
    data.history = {HistoryPoint{}};
    const auto now = platform::currentDate();
    const ProjectDetailModel unread(*project, data, std::nullopt, now, {});
    const auto leverage = unread.leverageMetric(LeverageDisplayMode::rolling14Day);
    EXPECT_EQ(leverage.value, "--");
    EXPECT_FALSE(leverage.delta);
    EXPECT_TRUE(unread.leverageValue(LeverageDisplayMode::cumulative)) << "the page's own reads tell it";
    const auto sections = [](const ProjectDetailModel& model) {
        const auto shown = model.visibleSections();
        return std::find(shown.begin(), shown.end(), ProjectSection::outputComposition) != shown.end() &&
               std::find(shown.begin(), shown.end(), ProjectSection::velocityRetention) != shown.end();
    };
    EXPECT_TRUE(sections(unread)) << "the cache reads every project that is not archived";
    EXPECT_FALSE(sections(ProjectDetailModel(*project, data, CachedProjectFigures{}, now, {}))) << "read without them";
    project->status = ProjectStatus::archived;
    EXPECT_FALSE(sections(ProjectDetailModel(*project, data, std::nullopt, now, {}))) << "an archived one is not read";
}

TEST(ProjectDetailModel, HeaderTextsAndCostComparison) {
    EXPECT_EQ(ProjectDetailModel::displayPath("/home/ada/code/app", "/home/ada"), "~/code/app");
    EXPECT_EQ(ProjectDetailModel::displayPath("/srv/app", "/home/ada"), "/srv/app");
    EXPECT_EQ(ProjectDetailModel::progressPercentText({"A", CollectionProgress::Phase::history, 1, 3}), "33%");
    EXPECT_EQ(ProjectDetailModel::progressPercentText({"A", CollectionProgress::Phase::history, 2, 3}), "66%")
        << "the whole percent reached, never more";
    EXPECT_EQ(ProjectDetailModel::progressPercentText({"A", CollectionProgress::Phase::history, 199, 200}), "99%");
    EXPECT_FALSE(ProjectDetailModel::progressPercentText({"A", CollectionProgress::Phase::history, 0, 0}));

    QStringList sentences;
    for (double ratio : {1.6, 1.5, 1.0, 0.67, 0.5}) sentences << CostComparison::comparisonText(ratio);
    EXPECT_EQ(sentences,
              QStringList({"COCOMO estimates 1.6x higher than market rate", "Both estimates are within similar range",
                           "Both estimates are within similar range", "Both estimates are within similar range",
                           "Market rate estimates 2.0x higher than COCOMO"}));
    EXPECT_EQ(CostComparison::formatCurrency(1'260'000), "$1.3M");
    EXPECT_EQ(CostComparison::formatCurrency(2'000'000), "$2M");
    EXPECT_EQ(CostComparison::formatCurrency(1'000'000), "$1M");
    EXPECT_EQ(CostComparison::formatCurrency(999'999.7), "$1,000,000") << "below the million, though it rounds to it";
    EXPECT_EQ(CostComparison::formatCurrency(54'000), "$54,000");

    // Docs only: the market prices no code, so there is nothing to compare.
    const CostComparison docsOnly(CodeCount{800, 3, 0, 0, 0, std::nullopt}, ProjectType::organic, CostRates{}, 150.9);
    EXPECT_EQ(docsOnly.marketRateCaption(), "@ $150/hr");
    EXPECT_GT(docsOnly.cocomo.estimatedCost, 0.0);
    EXPECT_FALSE(docsOnly.ratio());
}

} // namespace
} // namespace norvane::app
