#pragma once

#include "core/community/CommunityBenchmarks.h"
#include "index-server/ReportStore.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace norvane::indexserver {

/// Computes the community benchmarks from the stored reports. Every contributor (device) counts
/// once per distribution, with these figures over all its reports (of one size bucket, for the
/// bucket's entry):
/// - throughput: code lines changed per active day;
/// - consistency: active days per week over the span from its first to its last active day (a span
///   of at least one week);
/// - velocity retention: the mean of the percentages it reported;
/// - code ratio and composition: each category's share of all its changed lines, in percent.
/// A distribution, and a size bucket's entry, is published only from `minimumContributors`
/// contributors or more, so that no one's own figures can be read from it.
namespace BenchmarkBuilder {

inline constexpr std::size_t minimumContributors = 5;

/// The benchmarks of what `store` holds, generated at `now`.
CommunityBenchmarks build(ReportStore& store, platform::Date now);

/// The 10th to 90th percentile points, interpolated linearly between the closest ranks; none for
/// no values.
std::optional<CommunityBenchmarks::Percentiles> distribution(std::vector<double> values);

} // namespace BenchmarkBuilder
} // namespace norvane::indexserver
