#pragma once

#include "core/analytics/Insight.h"
#include "core/analytics/PortfolioMetricsService.h"

#include <memory>
#include <optional>
#include <vector>

namespace norvane {

/// Turns the portfolio's recent figures into a short list of observations for the dashboard.
/// Nothing is stored: every call computes a fresh list with fresh ids.
class InsightsService {
public:
    using ThroughputSeries = std::vector<PortfolioMetricsService::ThroughputPoint>;
    using ParallelismSeries = std::vector<PortfolioMetricsService::ParallelismPoint>;

    /// The figures of the daily rows are read from `rows` where given (see PortfolioMetricsService).
    explicit InsightsService(std::shared_ptr<platform::ModelContext> context,
                             platform::Clock clock = platform::systemClock(),
                             PortfolioMetricsService::DerivedRows rows = nullptr)
        : context_(std::move(context)), clock_(std::move(clock)), rows_(std::move(rows)) {}
    virtual ~InsightsService() = default;

    /// Every rule's insight over the metrics of 7 days and the series of 90 days, high priority
    /// first and otherwise in rule order. Throws the store's error; never a partial list.
    virtual std::vector<Insight> generateInsights();

    /// Frozen or else cooling active projects, and whether all of at least two are hot.
    virtual std::vector<Insight> projectActivityInsight();
    /// The number of parallel projects whose days give clearly the best throughput.
    virtual std::optional<Insight> optimalParallelismInsight(const ThroughputSeries& throughput,
                                                             const ParallelismSeries& parallelism);
    /// Well below or near the peak capacity.
    virtual std::optional<Insight> capacityInsight(const PortfolioMetrics& metrics);
    /// The weekday clearly above the others.
    virtual std::optional<Insight> peakDaysInsight(const ThroughputSeries& throughput);
    /// At least five recent days in a row at or above the median of the productive days.
    virtual std::optional<Insight> streakInsight(const ThroughputSeries& throughput);
    /// Few parallel projects and spare capacity.
    virtual std::optional<Insight> addProjectInsight(const PortfolioMetrics& metrics,
                                                     const ParallelismSeries& parallelism);

    /// "Sunday" (1) ... "Saturday" (7); "Day n" for any other number.
    static std::string dayName(int weekday);

    const std::shared_ptr<platform::ModelContext>& context() const { return context_; }

private:
    std::shared_ptr<platform::ModelContext> context_;
    platform::Clock clock_;
    PortfolioMetricsService::DerivedRows rows_;
};

} // namespace norvane
