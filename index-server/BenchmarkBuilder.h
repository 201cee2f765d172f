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
/// No one's own figures may be read from what is published:
/// - a size bucket's entry, and each of its distributions, is published only from
///   `minimumContributors` contributors or more;
/// - the figures over everyone (the global distributions and the contributor count) take in only
///   the reports of published buckets, and velocity retention only from buckets whose retention is
///   published, so that nothing withheld can be read back by setting them against the buckets;
/// - every percentile point is one contributor's figure rounded to two significant digits, never a
///   mix of two: one who knows (or moves) one figure of a mix reads the other through the rounding.
namespace BenchmarkBuilder {

inline constexpr std::size_t minimumContributors = 5;

/// The benchmarks of what `store` holds, generated at `now`.
CommunityBenchmarks build(ReportStore& store, platform::Date now);

/// The 10th to 90th percentile points: each the value at its nearest rank, rounded to two
/// significant digits; none for no values.
std::optional<CommunityBenchmarks::Percentiles> distribution(std::vector<double> values);

/// `value` rounded to two significant digits, halves away from zero: 4321 gives 4300, 0.0456 gives
/// 0.046.
double roundToTwoSignificantDigits(double value);

} // namespace BenchmarkBuilder
} // namespace norvane::indexserver
