#pragma once

#include "core/analytics/PortfolioMetricsService.h"
#include "core/models/DailyActivity.h"
#include "core/models/Snapshot.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace norvane {

/// The pure calculations behind `PortfolioMetricsService`, over records it has already fetched.
/// Daily rows and snapshots are in ascending date order where the order matters. No result is
/// ever NaN or infinite.
namespace PortfolioMetricsCalculator {

using Rows = PortfolioMetricsService::Rows;
using Snapshots = std::vector<std::shared_ptr<Snapshot>>;
using Activities = std::vector<std::shared_ptr<DailyActivity>>;

/// Lines inserted and deleted of code, docs, tests and config, in that order (insertions first).
using CategorySums = std::array<std::int64_t, 8>;
/// A history snapshot's capture time and running effort, oldest first.
using EffortPoints = std::vector<PortfolioMetricsService::EffortPoint>;
/// Code lines changed per local day.
using ChangedOnDay = std::map<std::chrono::local_days, std::int64_t>;

/// The instant `days` calendar days before `now`, at the same time of day. A look-back longer
/// than the calendar reaches gives its earliest moment instead of overflowing.
platform::Date windowStart(platform::Date now, int days);

double finiteOrZero(double value);
/// The value when it is finite and above 0, else absent.
std::optional<double> positiveOrAbsent(double value);

/// Mean daily effort of the first min(rows, days) rows; 0 without rows or days.
double windowMeanOfEffort(const Rows& rows, int days);
/// Mean active projects of the first min(rows, days) rows; 0 without rows or days.
double windowMeanOfActiveProjects(const Rows& rows, int days);
PortfolioMetricsService::PeakThroughput peakThroughput(const Rows& rows, int days);

/// Lines inserted and deleted between each project's first and last history snapshot; a fall
/// counts as nothing.
std::pair<std::int64_t, std::int64_t> historyChurn(const Snapshots& snapshots);
PortfolioMetricsService::Churn churn(std::int64_t insertions, std::int64_t deletions);
/// Each project's share of the history snapshots and their concentration.
PortfolioMetricsService::Focus focus(const Snapshots& snapshots);

/// Leverage of the last 7, 14 and 30 days before `now` and of the periods before them.
PortfolioMetricsService::RollingLeverage rollingLeverage(const Rows& rows, platform::Date now);
/// Best 7-row and 14-row stretches of all rows and the rank of the current leverage among them.
PortfolioMetricsService::PeakLeverage peakLeverage(const Rows& rows, std::optional<double> current7Day,
                                                   std::optional<double> current14Day);
/// For each row from `seriesStart` on, the leverage of the `window` rows before it.
std::vector<PortfolioMetricsService::LeveragePoint> rollingLeverageSeries(const Rows& rows, int window,
                                                                          platform::Date seriesStart);

/// Effort gained between history points captured in [start, end): the first one inside is the
/// base, and a fall adds nothing.
double effortBetween(platform::Date start, platform::Date end, const EffortPoints& points);
ProjectRollingLeverage projectRollingLeverage(const EffortPoints& points, platform::Date now);

/// The activity records' lines per category, summed.
CategorySums categorySums(const Activities& activities);
/// How the changed lines split into code, docs, tests and config.
OutputComposition composition(const CategorySums& sums);

/// The mean code lines changed of `days` daily records against a finite baseline.
VelocityRetention velocityRetention(double baseline, std::int64_t codeLinesChanged, std::size_t days);
/// For each day from 7 days after `start` until `todayStart`, the mean code lines changed of the
/// days with a record among the 7 days ending there.
std::vector<PortfolioMetricsService::VelocityPoint> velocitySeries(const ChangedOnDay& changedOnDay,
                                                                   platform::Date start, platform::Date todayStart);

} // namespace PortfolioMetricsCalculator
} // namespace norvane
