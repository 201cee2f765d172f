#include "Norvane/gallery/CardSamples.h"

#include "Norvane/cards/AchievementsCard.h"
#include "Norvane/cards/ImprovementSuggestionsCard.h"
#include "Norvane/cards/VelocityChart.h"
#include "Norvane/cards/VelocityRetentionCard.h"
#include "Norvane/cards/VelocityRetentionComparisonCard.h"
#include "Norvane/cards/WorkPatternsCard.h"
#include "Norvane/cards/kit/ChevronButton.h"
#include "Norvane/cards/kit/FilterChip.h"
#include "Norvane/components/charts/ChartMath.h"
#include "core/analytics/AchievementCalculator.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QMouseEvent>

#include <array>
#include <cmath>

namespace norvane::app {

namespace {

using platform::Date;
using VelocityPoint = VelocityRetentionCard::VelocityPoint;
using samples::daysAgo;
using samples::infinity;
using samples::notANumber;
constexpr int width = 560;

/// A project slowing down over `days` days: about 150 lines a day falling to about 100.
std::vector<VelocityPoint> velocitySeries(int days) {
    std::vector<VelocityPoint> series;
    for (int day = days; day >= 1; --day) {
        series.push_back({daysAgo(day), 100.0 + day * 50.0 / days + 14.0 * std::sin(day / 6.0)});
    }
    return series;
}

VelocityRetentionCard::Inputs velocityInputs(int selectedDays) {
    return {{180.0, 96.3, 53.5, RetentionAssessment::good},
            velocitySeries(selectedDays),
            selectedDays,
            {30, 90, 365},
            std::nullopt,
            std::nullopt};
}

/// Puts the pointer exactly midway between the chart's points `first` and `first + 1`.
void pointMidway(QWidget* card, const std::vector<VelocityPoint>& series, std::size_t first) {
    auto* plot = card->findChild<VelocityChart*>()->findChild<QCustomPlot*>();
    const double midway = (ChartMath::dayCentre(series[first].date) + ChartMath::dayCentre(series[first + 1].date)) / 2;
    const QPointF pointer(plot->xAxis->coordToPixel(midway), plot->axisRect()->center().y());
    QMouseEvent move(QEvent::MouseMove, pointer, plot->mapToGlobal(pointer), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(plot, &move);
}

std::vector<CardSample> velocitySamples() {
    return {
        {QStringLiteral("velocity-retention"), width,
         [] {
             VelocityRetentionCard::Inputs inputs = velocityInputs(90);
             inputs.industryMedian = 120.0;
             inputs.sizeBucket = QStringLiteral("Medium*");
             return new VelocityRetentionCard(inputs);
         }},
        {QStringLiteral("velocity-retention-hover"), width,
         [] { return new VelocityRetentionCard(velocityInputs(90)); },
         [](QWidget* card) { pointMidway(card, velocityInputs(90).velocityData, 60); }},
        {QStringLiteral("velocity-retention-30d"), width, [] { return new VelocityRetentionCard(velocityInputs(30)); }},
        {QStringLiteral("velocity-retention-1yr"), width,
         [] {
             VelocityRetentionCard::Inputs inputs = velocityInputs(365);
             inputs.retention = {120.0, 1540.0, 1283.3, RetentionAssessment::excellent};
             return new VelocityRetentionCard(inputs);
         }},
        {QStringLiteral("velocity-retention-one-point"), width,
         [] {
             VelocityRetentionCard::Inputs inputs = velocityInputs(90);
             inputs.velocityData = velocitySeries(1);
             inputs.retention = {140.0, 38.0, std::nullopt, RetentionAssessment::belowAverage};
             return new VelocityRetentionCard(inputs);
         }},
        {QStringLiteral("velocity-retention-not-a-number"), width,
         [] {
             VelocityRetentionCard::Inputs inputs = velocityInputs(30);
             inputs.retention = {notANumber, infinity, -0.2, RetentionAssessment::typical};
             inputs.velocityData[10].velocity = notANumber;
             inputs.industryMedian = infinity;
             return new VelocityRetentionCard(inputs);
         }},
        {QStringLiteral("velocity-retention-too-early"), width,
         [] {
             VelocityRetentionCard::Inputs inputs = velocityInputs(90);
             inputs.retention.assessment = RetentionAssessment::tooEarly;
             return new VelocityRetentionCard(inputs);
         }},
    };
}

std::vector<CardSample> retentionComparisonSamples() {
    using Card = VelocityRetentionComparisonCard;
    return {
        {QStringLiteral("retention-comparison"), width,
         [] {
             return new Card({60.0, 80.0, 40, QStringLiteral("Medium*")});
         }},
        {QStringLiteral("retention-comparison-ahead"), width,
         [] {
             return new Card({150.0, 90.0, 93, QStringLiteral("Large")});
         }},
        {QStringLiteral("retention-comparison-no-median"), width,
         [] {
             return new Card({72.4, std::nullopt, 12, std::nullopt});
         }},
        {QStringLiteral("retention-comparison-empty"), width,
         [] {
             return new Card({std::nullopt, 80.0, 61, {}});
         }},
        {QStringLiteral("retention-comparison-quiet-month"), width,
         [] {
             return new Card({std::nullopt, 80.0, std::nullopt, {}, {QStringLiteral("atlas")}});
         }},
        {QStringLiteral("retention-comparison-quiet-and-young"), width,
         [] {
             return new Card({std::nullopt,
                              80.0,
                              std::nullopt,
                              {},
                              {QStringLiteral("atlas-api")},
                              {QStringLiteral("harbor-web"), QStringLiteral("pylon-scripts")}});
         }},
        {QStringLiteral("retention-comparison-not-a-number"), width,
         [] {
             return new Card({-0.3, infinity, std::nullopt, QStringLiteral("Small")});
         }},
    };
}

UserPercentiles percentiles(std::optional<int> throughput, std::optional<int> consistency,
                            std::optional<int> retention) {
    return {.sizeBucket = "Medium",
            .throughputPercentile = throughput,
            .velocityRetentionPercentile = retention,
            .consistencyPercentile = consistency};
}

void click(QAbstractButton& button) { button.click(); }

std::vector<CardSample> suggestionSamples() {
    using Card = ImprovementSuggestionsCard;
    return {
        {QStringLiteral("suggestions"), width, [] { return new Card(percentiles(10, 30, 80)); }},
        {QStringLiteral("suggestions-focus-only"), width, [] { return new Card(percentiles(40, 10, 20)); }},
        {QStringLiteral("suggestions-room-to-grow"), width, [] { return new Card(percentiles(25, std::nullopt, 49)); }},
        {QStringLiteral("suggestions-strengths"), width, [] { return new Card(percentiles(75, 93, 100)); }},
        {QStringLiteral("suggestions-doing-great"), width, [] { return new Card(percentiles(50, 60, 74)); }},
        {QStringLiteral("suggestions-benchmarks-required"), width, [] { return new Card(std::nullopt); }},
        {QStringLiteral("suggestions-collapsed"), width, [] { return new Card(percentiles(10, 30, 80)); },
         [](QWidget* card) { click(static_cast<Card*>(card)->expandButton()); }},
    };
}

std::vector<CardSample> achievementSamples() {
    using Card = AchievementsCard;
    // 12,000 lines, a 40-day best streak, the 80th percentile and 45% retention.
    auto mixed = [] { return new Card(AchievementCalculator::calculate(12'000, 40, 12, 80, 45.0)); };
    return {
        {QStringLiteral("achievements"), width, mixed},
        {QStringLiteral("achievements-ranking"), width, mixed,
         [](QWidget* card) { click(*static_cast<Card*>(card)->chips()[3]); }},
        {QStringLiteral("achievements-architecture-none-yet"), width,
         [] { return new Card(AchievementCalculator::calculate(12'000, 40, 12, std::nullopt, std::nullopt)); },
         [](QWidget* card) { click(*static_cast<Card*>(card)->chips()[4]); }},
        {QStringLiteral("achievements-all-earned"), width,
         [] { return new Card(AchievementCalculator::calculate(150'000, 400, 400, 95, 85.0)); }},
        {QStringLiteral("achievements-locked"), width,
         [] { return new Card(AchievementCalculator::calculate(0, 0, 0, 0, -12.0)); }},
        {QStringLiteral("achievements-empty"), width, [] { return new Card({}); }},
        {QStringLiteral("achievements-collapsed"), width, mixed,
         [](QWidget* card) { click(static_cast<Card*>(card)->expandButton()); }},
    };
}

/// Commits mostly in the evening and around midnight, fewer during the day.
WorkPatterns eveningPatterns() {
    constexpr std::array<int, 24> night = {2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 3, 6, 9, 7, 4};
    WorkPatterns patterns;
    for (std::size_t row = 0; row < 7; ++row) {
        const bool weekend = row == 0 || row == 6;
        for (std::size_t hour = 0; hour < 24; ++hour) {
            const bool working = hour >= 9 && hour <= 17;
            const int day = working ? static_cast<int>((row + hour) % 3) + (weekend ? 2 : 1) : 0;
            patterns.heatmap[row][hour] = night[hour] + day;
        }
    }
    patterns.totalCommits = 842;
    patterns.peakHour = 21;
    patterns.peakDay = 7;
    patterns.weekendPercentage = 31.7;
    patterns.isNightOwl = true;
    return patterns;
}

std::vector<CardSample> workPatternSamples() {
    return {
        {QStringLiteral("work-patterns"), width, [] { return new WorkPatternsCard(eveningPatterns()); }},
        {QStringLiteral("work-patterns-early-bird"), width,
         [] {
             WorkPatterns patterns;
             for (int row = 1; row < 6; ++row) {
                 for (int hour = 6; hour < 12; ++hour) {
                     patterns.heatmap[static_cast<std::size_t>(row)][static_cast<std::size_t>(hour)] = hour - 5;
                 }
             }
             patterns.totalCommits = 105;
             patterns.peakHour = 11;
             patterns.peakDay = 2;
             patterns.isEarlyBird = true;
             return new WorkPatternsCard(patterns);
         }},
        {QStringLiteral("work-patterns-one-commit"), width,
         [] {
             WorkPatterns patterns;
             patterns.heatmap[3][0] = 1;
             patterns.totalCommits = 1;
             patterns.peakHour = 0;
             patterns.weekendPercentage = notANumber;
             return new WorkPatternsCard(patterns);
         }},
        {QStringLiteral("work-patterns-empty"), width, [] { return new WorkPatternsCard(WorkPatterns{}); }},
        {QStringLiteral("work-patterns-quiet-range"), width,
         [] {
             return new WorkPatternsCard(WorkPatterns{}, WorkPatternsCard::QuietWindow{30, true});
         }},
    };
}

} // namespace

std::vector<CardSample> performanceCardSamples() {
    std::vector<CardSample> samples;
    for (auto group : {velocitySamples(), retentionComparisonSamples(), suggestionSamples(), achievementSamples(),
                       workPatternSamples()}) {
        samples.insert(samples.end(), group.begin(), group.end());
    }
    return samples;
}

} // namespace norvane::app
