#pragma once

#include "core/community/CommunityBenchmarks.h"
#include "core/community/UserPercentiles.h"
#include "core/models/ProjectSizeBucket.h"

#include <optional>

namespace norvane {

/// Places the user's figures in the community benchmarks.
namespace PercentileCalculator {

/// Throughput and velocity retention come from the bucket's distribution when it has one, else the
/// overall one; consistency (active days per week) always from the overall one.
UserPercentiles calculate(std::optional<double> throughput, std::optional<double> velocityRetention,
                          std::optional<double> activeDaysPerWeek, ProjectSizeBucket sizeBucket,
                          const CommunityBenchmarks& benchmarks, platform::Date now = platform::currentDate());

/// The weighted mean 0.4 T + 0.25 V + 0.35 C over the percentiles present, rounded half away from
/// zero and clamped to 0-100; none without a throughput percentile.
std::optional<int> calculateNorvaneIndex(std::optional<int> throughputPercentile,
                                         std::optional<int> velocityRetentionPercentile,
                                         std::optional<int> consistencyPercentile);

} // namespace PercentileCalculator
} // namespace norvane
