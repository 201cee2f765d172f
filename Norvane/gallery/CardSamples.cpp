#include "Norvane/gallery/CardSamples.h"

#include "Norvane/cards/FocusIndicator.h"
#include "Norvane/cards/InsightsView.h"
#include "Norvane/cards/MilestonesCard.h"
#include "Norvane/cards/OptInPromptCard.h"
#include "Norvane/cards/OutputCompositionCard.h"
#include "Norvane/cards/PeriodComparisonsCard.h"
#include "Norvane/cards/PersonalBestsCard.h"
#include "Norvane/cards/StreakCard.h"
#include "platform/LocalCalendar.h"

#include <QGridLayout>

namespace norvane::app {

platform::Date samples::daysAgo(int days) {
    namespace calendar = platform::LocalCalendar;
    return calendar::addingDays(calendar::startOfDay(platform::currentDate()), -days);
}

namespace {

using platform::Date;
using samples::daysAgo;
using samples::infinity;
using samples::notANumber;

/// Lays `tiles` out two to a row.
QWidget* grid(const std::vector<QWidget*>& tiles) {
    auto* holder = new QWidget;
    auto* layout = new QGridLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    for (std::size_t index = 0; index < tiles.size(); ++index) {
        layout->addWidget(tiles[index], static_cast<int>(index / 2), static_cast<int>(index % 2));
    }
    return holder;
}

std::vector<Insight> everyInsightKind() {
    return {
        Insight(InsightType::streak, "6-Day Streak!",
                "You've been above your median productivity for 6 consecutive days.", InsightPriority::high,
                "flame.fill", {}),
        Insight(InsightType::tooManyProjects, "1 Cooling Off", "atlas-api hasn't had commits in over a week.",
                InsightPriority::medium, "snowflake", {}),
        Insight(InsightType::tooManyProjects, "4 Frozen Projects",
                "legacy-site, scripts, old-cli and 1 more haven't had commits in 30+ days. Consider archiving.",
                InsightPriority::high, "snowflake.circle", {}),
        Insight(InsightType::optimalParallelism, "Optimal Parallelism",
                "You're most productive with 3 parallel projects (0.4 mo/day avg).", InsightPriority::medium,
                "square.stack.3d.up", {}),
        Insight(InsightType::lowCapacity, "Room for More", "Operating at 29% capacity. You could take on more work.",
                InsightPriority::medium, "gauge.with.dots.needle.0percent", {}),
        Insight(InsightType::highCapacity, "At Peak Capacity", "You're operating at 94% of your peak. Great momentum!",
                InsightPriority::low, "gauge.with.dots.needle.100percent", {}),
        Insight(InsightType::highCapacity, "All Projects Active!", "All 4 projects have commits in the last 3 days.",
                InsightPriority::low, "flame.fill", {}),
        Insight(InsightType::productiveDay, "Peak Day: Tuesday",
                "Tuesdays are 38% more productive than average. Plan the hardest work of the week for them, and "
                "keep the meetings for the days that are slow anyway, so the best hours go to shipping.",
                InsightPriority::low, "calendar", {}),
        Insight(InsightType::addProject, "Add a Project?",
                "With 1.4 avg projects and 41% capacity, you might benefit from adding another project.",
                InsightPriority::medium, "plus.circle", {}),
    };
}

std::vector<CardSample> insightSamples() {
    return {{QStringLiteral("insights-empty"), 560, [] { return new InsightsView({}); }},
            {QStringLiteral("insights"), 560, [] { return new InsightsView(everyInsightKind()); }}};
}

std::vector<CardSample> optInSamples() {
    std::vector<CardSample> samples;
    for (const int count : {0, 99, 100, 500}) {
        samples.push_back(
            {QStringLiteral("opt-in-%1").arg(count), 560, [count] { return new OptInPromptCard(count); }});
    }
    return samples;
}

std::vector<CardSample> focusSamples() {
    return {{QStringLiteral("focus-indicator"), 560, [] {
                 const std::map<std::string, double> five{
                     {"norvane", 40}, {"atlas-api", 25}, {"website", 15}, {"scripts", 12}, {"notes", 8}};
                 return grid({new FocusIndicator(0.0, 0, {}), new FocusIndicator(1.0, 1, {{"norvane", 100}}),
                              new FocusIndicator(0.61, 2, {{"norvane", 76}, {"atlas-api", 24}}),
                              new FocusIndicator(0.6, 3, {{"norvane", 70}, {"atlas-api", 20}, {"website", 10}}),
                              new FocusIndicator(0.35, 5, five), new FocusIndicator(notANumber, 4, {})});
             }}};
}

PortfolioMetrics bestsMetrics() {
    PortfolioMetrics metrics;
    metrics.peak7DayLeverage = 14.26;
    metrics.peak7DayStart = daysAgo(16);
    metrics.peak7DayEnd = daysAgo(10);
    metrics.peak14DayLeverage = 11.8;
    metrics.peak14DayStart = platform::LocalCalendar::addingDays(daysAgo(0), -420);
    metrics.peak14DayEnd = platform::LocalCalendar::addingDays(daysAgo(0), -407);
    metrics.current7DayPercentile = 85.5;
    metrics.current14DayPercentile = 71.0;
    return metrics;
}

std::vector<CardSample> bestsSamples() {
    return {{QStringLiteral("personal-bests"), 560, [] { return new PersonalBestsCard(bestsMetrics()); }},
            {QStringLiteral("personal-bests-median"), 560,
             [] {
                 PortfolioMetrics metrics = bestsMetrics();
                 metrics.current7DayPercentile = 60.0;
                 metrics.current14DayPercentile = 60.0;
                 metrics.peak14DayEnd.reset();
                 return new PersonalBestsCard(metrics);
             }},
            {QStringLiteral("personal-bests-empty"), 560, [] {
                 PortfolioMetrics metrics;
                 metrics.peak7DayLeverage = notANumber;
                 metrics.current7DayPercentile = infinity;
                 metrics.current14DayPercentile = 90.0;
                 return new PersonalBestsCard(metrics);
             }}};
}

std::vector<CardSample> comparisonSamples() {
    return {{QStringLiteral("period-comparisons"), 560,
             [] {
                 PortfolioMetrics metrics;
                 metrics.rollingLeverage7Day = 2.0;
                 metrics.rollingLeveragePrior7Day = 1.0;
                 metrics.rollingLeverage14Day = 1.0;
                 metrics.rollingLeveragePrior14Day = 2.0;
                 metrics.rollingLeverage30Day = 1.05;
                 metrics.rollingLeveragePrior30Day = 1.0;
                 return new PeriodComparisonsCard(metrics);
             }},
            {QStringLiteral("period-comparisons-partial"), 560, [] {
                 PortfolioMetrics metrics;
                 metrics.rollingLeverage7Day = 3.4;
                 metrics.rollingLeveragePrior7Day = 0.0;
                 metrics.rollingLeverage14Day = 2.2;
                 metrics.rollingLeveragePrior14Day = notANumber;
                 metrics.rollingLeverage30Day = infinity;
                 metrics.rollingLeveragePrior30Day = 1.0;
                 return new PeriodComparisonsCard(metrics);
             }}};
}

ProductivityStreak streakOf(std::int64_t days, std::int64_t longest) {
    ProductivityStreak streak;
    streak.currentStreak = days;
    streak.longestStreak = longest;
    streak.isActive = days > 0;
    if (days > 0) {
        streak.streakStartDate = daysAgo(static_cast<int>(days - 1));
    }
    return streak;
}

std::vector<CardSample> streakSamples() {
    std::vector<CardSample> samples{{QStringLiteral("streak-none"), 560, [] { return new StreakCard(std::nullopt); }},
                                    {QStringLiteral("streak-0"), 560, [] { return new StreakCard(streakOf(0, 12)); }}};
    for (const auto& [days, longest] : {std::pair{6, 21}, {7, 7}, {30, 45}, {365, 365}}) {
        samples.push_back({QStringLiteral("streak-%1").arg(days), 560,
                           [days, longest] { return new StreakCard(streakOf(days, longest)); }});
    }
    return samples;
}

MilestoneProgress reachedSome() {
    MilestoneProgress progress;
    progress.reached = {Milestone(MilestoneType::sloc1k, daysAgo(200), 3, 1000),
                        Milestone(MilestoneType::value10k, daysAgo(190), 12, 10000),
                        Milestone(MilestoneType::sloc5k, daysAgo(120), 80, 5000),
                        Milestone(MilestoneType::sloc10k, daysAgo(60), 140, 10000),
                        Milestone(MilestoneType::value50k, daysAgo(40), 160, 50000)};
    progress.nextMilestone = MilestoneType::value100k;
    progress.progressToNext = 0.29;
    progress.currentValue = 64'500;
    return progress;
}

std::vector<CardSample> milestoneSamples() {
    return {{QStringLiteral("milestones-new-project"), 560, [] { return new MilestonesCard({}, std::nullopt); }},
            {QStringLiteral("milestones"), 560, [] { return new MilestonesCard(reachedSome(), 94); }},
            {QStringLiteral("milestones-all-cost-reached"), 560,
             [] {
                 MilestoneProgress progress = reachedSome();
                 progress.reached.push_back(Milestone(MilestoneType::value100k, daysAgo(20), 180, 100000));
                 progress.reached.push_back(Milestone(MilestoneType::value500k, daysAgo(2), 198, 500000));
                 progress.nextMilestone.reset();
                 progress.progressToNext.reset();
                 progress.currentValue = 1'230'000;
                 return new MilestonesCard(progress, 30);
             }},
            {QStringLiteral("milestones-empty"), 560,
             [] {
                 MilestoneProgress progress;
                 progress.nextMilestone.reset();
                 progress.progressToNext.reset();
                 return new MilestonesCard(progress, std::nullopt);
             }},
            {QStringLiteral("milestones-not-a-number"), 560, [] {
                 MilestoneProgress progress;
                 progress.progressToNext = notANumber;
                 progress.currentValue = infinity;
                 return new MilestonesCard(progress, std::nullopt);
             }}};
}

OutputComposition compositionOf(std::int64_t code, std::int64_t docs, std::int64_t tests, std::int64_t config) {
    const double total = static_cast<double>(code + docs + tests + config);
    auto category = [total](std::int64_t lines) {
        return CategoryMetrics{lines * 2 / 3, lines - lines * 2 / 3, total > 0 ? lines / total * 100.0 : 0.0};
    };
    return {category(code), category(docs), category(tests), category(config)};
}

std::vector<CardSample> compositionSamples() {
    const QList<int> options{30, 90, 365};
    return {{QStringLiteral("composition"), 560,
             [options] { return new OutputCompositionCard(compositionOf(18'400, 2'100, 3'900, 640), 30, options); }},
            {QStringLiteral("composition-docs-only"), 560,
             [options] { return new OutputCompositionCard(compositionOf(0, 850, 0, 0), 90, options); }},
            {QStringLiteral("composition-sliver"), 560,
             [options] { return new OutputCompositionCard(compositionOf(24'000, 12, 15'000, 999), 365, options); }},
            {QStringLiteral("composition-empty"), 560,
             [options] { return new OutputCompositionCard(compositionOf(0, 0, 0, 0), 30, options); }},
            {QStringLiteral("composition-not-a-number"), 560, [options] {
                 OutputComposition composition = compositionOf(500, 500, 0, 0);
                 composition.code.percent = notANumber;
                 return new OutputCompositionCard(composition, 30, options);
             }}};
}

} // namespace

std::vector<CardSample> cardSamples() {
    std::vector<CardSample> samples;
    for (auto group : {insightSamples(), optInSamples(), focusSamples(), bestsSamples(), comparisonSamples(),
                       streakSamples(), milestoneSamples(), compositionSamples(), performanceCardSamples()}) {
        samples.insert(samples.end(), group.begin(), group.end());
    }
    return samples;
}

} // namespace norvane::app
