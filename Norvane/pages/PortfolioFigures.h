#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include <QString>

#include "Norvane/components/tiles/HeroMetric.h"
#include "Norvane/components/tiles/SummaryStat.h"
#include "Norvane/pages/PortfolioState.h"
#include "Norvane/state/MetricsSource.h"
#include "core/analytics/PortfolioMetrics.h"
#include "core/community/CachedBenchmarks.h"
#include "platform/Date.h"

namespace norvane::app {

/// What the portfolio page's benchmark step hands the benchmark client.
struct PercentileInputs {
    std::optional<double> throughput;
    /// Percent.
    std::optional<double> velocityRetention;
    std::optional<double> activeDaysPerWeek;
    ProjectSizeBucket sizeBucket = ProjectSizeBucket::greenfield;
};

/// The portfolio page's rules for its figures and texts, from plain values.
class PortfolioFigures {
public:
    using Projects = std::vector<PortfolioProject>;
    using BucketGroups = std::array<std::pair<ProjectSizeBucket, Projects>, 5>;

    /// Days of history that the charts of a time range load.
    static int days(TimeRange range);
    /// The days with commits in the chosen range, as the daily series count them.
    static std::size_t activeDays(const PortfolioState& state);

    /// The newest code counts' lines, summed; projects without one add nothing.
    static std::int64_t totalCodeLines(const Projects& projects);
    /// Whole days since the earliest first commit; none without one.
    static std::optional<int> portfolioAgeDays(const Projects& projects, platform::Date now);
    /// COCOMO effort of `totalLines` organic lines at the fixed wage and overhead, per 30 days of
    /// age; none below one line or one day.
    static std::optional<double> estimatedLeverage(std::int64_t totalLines, std::optional<int> ageDays);

    /// The leverage (the cached 14-day figure, else the estimate) and the composite index. Before
    /// the metrics are read there is no leverage to show, not even the estimate: the figure that
    /// comes may be another.
    static std::pair<HeroMetric, HeroMetric> heroMetrics(const std::optional<PortfolioMetrics>& metrics,
                                                         const PortfolioState& state, platform::Date now);
    /// The change against the prior 14 days; none without both figures or a prior above 0.
    static std::optional<MetricDelta> heroLeverageDelta(const std::optional<PortfolioMetrics>& metrics);
    /// The last 14 rolling-leverage values, oldest first.
    static std::vector<double> sparkline(const std::vector<MetricsSource::LeveragePoint>& series);
    /// Total LOC, Mo/Day and Retention.
    static std::vector<SummaryStat> summaryStats(const std::optional<PortfolioMetrics>& metrics,
                                                 const PortfolioState& state);

    /// Every size bucket in order with its projects, in list order.
    static BucketGroups projectsBySize(const Projects& projects);
    /// The bucket with the most projects; of equal ones the smaller bucket.
    static ProjectSizeBucket dominantSizeBucket(const Projects& projects);
    /// "%.0f%%" of the project's code lines in the portfolio's; none without a code count.
    static std::optional<QString> shareText(const PortfolioProject& project, std::int64_t totalCodeLines);

    /// Code lines changed over the last 30 days per working day (21 of them).
    static double throughput(const OutputComposition& thirtyDays);
    /// Active days of the 28 days up to today, per week.
    static double activeDaysPerWeek(const std::set<platform::Date>& activeDays, platform::Date now);
    /// The mean of the retentions that are present; none without one.
    static std::optional<double> meanRetention(const std::vector<std::optional<double>>& retentions);
    /// The median velocity retention of the bucket's contributors; none without it in the cache.
    static std::optional<double> industryRetentionMedian(const std::optional<CachedBenchmarks>& cached,
                                                         ProjectSizeBucket bucket);
    static std::vector<Achievement> achievements(std::int64_t totalCodeLines, const PortfolioState& state);
};

} // namespace norvane::app
