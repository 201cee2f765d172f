#include "Norvane/pages/PortfolioFigures.h"

#include <algorithm>

#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/pages/MenuBarModel.h"
#include "core/analytics/AchievementCalculator.h"
#include "core/collection/CocomoEstimate.h"
#include "core/models/AppSettings.h"
#include "core/models/DaysPerMonth.h"
#include "platform/LocalCalendar.h"

namespace norvane::app {
namespace {

// The portfolio's cost figures use the default wage and overhead, whatever the settings say.
constexpr double portfolioAverageWage = AppSettings::defaultAverageWage;
constexpr double portfolioOverhead = AppSettings::defaultOverhead;
constexpr std::size_t sparklineDays = 14;
constexpr double workingDaysPerMonth = 21.0;
constexpr int consistencyWeeks = 4;

const QString noPortfolioFigure = QString::fromLatin1(noValueText);

QString signedMultiplier(double value) {
    const QString digits = formatFixed(value, 1);
    return (digits.startsWith(QLatin1Char('-')) ? QString() : QStringLiteral("+")) + digits + QStringLiteral("x");
}

} // namespace

int PortfolioFigures::days(TimeRange range) {
    switch (range.value()) {
    case TimeRange::thirtyDays: return 30;
    case TimeRange::ninetyDays: return 90;
    case TimeRange::oneYear: return 365;
    case TimeRange::allTime: return 3650;
    }
    return 90;
}

std::size_t PortfolioFigures::activeDays(const PortfolioState& state) {
    return ChartMath::pointsSince(state.throughputData, state.selectedTimeRange.startDate()).size();
}

std::int64_t PortfolioFigures::totalCodeLines(const Projects& projects) {
    std::int64_t total = 0;
    for (const auto& project : projects) total += project.codeLines.value_or(0);
    return total;
}

std::optional<int> PortfolioFigures::portfolioAgeDays(const Projects& projects, platform::Date now) {
    std::optional<platform::Date> earliest;
    for (const auto& project : projects) {
        if (project.firstCommitAt && (!earliest || *project.firstCommitAt < *earliest))
            earliest = project.firstCommitAt;
    }
    if (!earliest) return std::nullopt;
    return platform::LocalCalendar::wholeDaysBetween(*earliest, now);
}

std::optional<double> PortfolioFigures::estimatedLeverage(std::int64_t totalLines, std::optional<int> ageDays) {
    if (totalLines < 1 || !ageDays || *ageDays < 1) return std::nullopt;
    const double effort =
        CocomoEstimate::calculate(totalLines, ProjectType::organic, portfolioAverageWage, portfolioOverhead)
            .effortMonths;
    return effort / (*ageDays / daysPerMonth);
}

std::optional<MetricDelta> PortfolioFigures::heroLeverageDelta(const std::optional<PortfolioMetrics>& metrics) {
    if (!metrics || !metrics->rollingLeverage14Day || !metrics->rollingLeveragePrior14Day ||
        *metrics->rollingLeveragePrior14Day <= 0) {
        return std::nullopt;
    }
    const double change = *metrics->rollingLeverage14Day - *metrics->rollingLeveragePrior14Day;
    return MetricDelta{change, signedMultiplier(change)};
}

std::pair<HeroMetric, HeroMetric> PortfolioFigures::heroMetrics(const std::optional<PortfolioMetrics>& metrics,
                                                                const PortfolioState& state, platform::Date now) {
    std::optional<double> leverage;
    if (metrics) {
        leverage = metrics->rollingLeverage14Day
                       ? metrics->rollingLeverage14Day
                       : estimatedLeverage(totalCodeLines(state.projects), portfolioAgeDays(state.projects, now));
    }
    HeroMetric primary(leverage ? formatMultiplier(*leverage) : noPortfolioFigure, QStringLiteral("Leverage"),
                       heroLeverageDelta(metrics));
    const auto index = state.userPercentiles ? state.userPercentiles->norvaneIndex : std::nullopt;
    if (!index) return {primary, HeroMetric(noPortfolioFigure, QStringLiteral("Norvane Index"))};
    const QString ordinal = QString::fromStdString(UserPercentiles::formatPercentile(*index));
    HeroMetric secondary(QString::number(*index), QStringLiteral("Norvane Index"), std::nullopt,
                         ordinal + QStringLiteral(" percentile"));
    return {primary, secondary};
}

std::vector<double> PortfolioFigures::sparkline(const std::vector<MetricsSource::LeveragePoint>& series) {
    const std::size_t first = series.size() > sparklineDays ? series.size() - sparklineDays : 0;
    std::vector<double> values;
    for (std::size_t index = first; index < series.size(); ++index) values.push_back(series[index].leverage);
    return values;
}

std::vector<SummaryStat> PortfolioFigures::summaryStats(const std::optional<PortfolioMetrics>& metrics,
                                                        const PortfolioState& state) {
    std::vector<SummaryStat> stats;
    stats.emplace_back(formatNumber(totalCodeLines(state.projects)), QStringLiteral("Total LOC"),
                       QStringLiteral("%1 projects").arg(state.projects.size()));
    stats.emplace_back(metrics ? formatFixed(metrics->dailyThroughput, 2) : noPortfolioFigure, QStringLiteral("Mo/Day"),
                       QStringLiteral("throughput"));
    const auto median = state.industryRetentionMedian ? truncatedInteger(*state.industryRetentionMedian) : std::nullopt;
    stats.emplace_back(state.portfolioRetention ? formatTruncatedPercent(*state.portfolioRetention) : noPortfolioFigure,
                       QStringLiteral("Retention"),
                       median ? std::optional(QStringLiteral("vs %1% median").arg(*median)) : std::nullopt);
    return stats;
}

PortfolioFigures::BucketGroups PortfolioFigures::projectsBySize(const Projects& projects) {
    BucketGroups groups{{{ProjectSizeBucket::greenfield, {}},
                         {ProjectSizeBucket::small, {}},
                         {ProjectSizeBucket::medium, {}},
                         {ProjectSizeBucket::large, {}},
                         {ProjectSizeBucket::enterprise, {}}}};
    for (const auto& project : projects) groups[static_cast<std::size_t>(project.sizeBucket)].second.push_back(project);
    return groups;
}

ProjectSizeBucket PortfolioFigures::dominantSizeBucket(const Projects& projects) {
    ProjectSizeBucket dominant = ProjectSizeBucket::greenfield;
    std::size_t most = 0;
    for (const auto& [bucket, members] : projectsBySize(projects)) {
        if (members.size() > most) {
            dominant = bucket;
            most = members.size();
        }
    }
    return dominant;
}

std::optional<QString> PortfolioFigures::shareText(const PortfolioProject& project, std::int64_t totalCodeLines) {
    if (!project.codeLines) return std::nullopt;
    const double share =
        static_cast<double>(*project.codeLines) / static_cast<double>(std::max<std::int64_t>(totalCodeLines, 1));
    return formatWholePercent(share * 100.0);
}

double PortfolioFigures::throughput(const OutputComposition& thirtyDays) {
    return static_cast<double>(thirtyDays.code.insertions + thirtyDays.code.deletions) / workingDaysPerMonth;
}

double PortfolioFigures::activeDaysPerWeek(const std::set<platform::Date>& activeDays, platform::Date now) {
    const auto first =
        platform::LocalCalendar::addingDays(platform::LocalCalendar::startOfDay(now), -(consistencyWeeks * 7 - 1));
    const auto end = platform::LocalCalendar::addingDays(platform::LocalCalendar::startOfDay(now), 1);
    const auto count = std::distance(activeDays.lower_bound(first), activeDays.lower_bound(end));
    return static_cast<double>(count) / consistencyWeeks;
}

std::optional<double> PortfolioFigures::meanRetention(const std::vector<std::optional<double>>& retentions) {
    double sum = 0;
    int count = 0;
    for (const auto& retention : retentions) {
        if (!retention) continue;
        sum += *retention;
        ++count;
    }
    if (count == 0) return std::nullopt;
    return sum / count;
}

std::optional<double> PortfolioFigures::industryRetentionMedian(const std::optional<CachedBenchmarks>& cached,
                                                                ProjectSizeBucket bucket) {
    if (!cached) return std::nullopt;
    const auto& buckets = cached->benchmarks.bySizeBucket;
    const auto entry = buckets.find(std::string(platform::rawValue(bucket)));
    if (entry == buckets.end() || !entry->second.velocityRetention) return std::nullopt;
    return entry->second.velocityRetention->p50;
}

std::vector<Achievement> PortfolioFigures::achievements(std::int64_t totalCodeLines, const PortfolioState& state) {
    const auto& streak = state.productivityStreak;
    const auto index = state.userPercentiles ? state.userPercentiles->norvaneIndex : std::nullopt;
    return AchievementCalculator::calculate(
        totalCodeLines, streak ? streak->longestStreak : 0, streak ? streak->currentStreak : 0,
        index ? std::optional<std::int64_t>(*index) : std::nullopt, state.portfolioRetention);
}

} // namespace norvane::app
