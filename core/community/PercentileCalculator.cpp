#include "core/community/PercentileCalculator.h"

#include <algorithm>
#include <cmath>

namespace norvane::PercentileCalculator {

namespace {

using Percentiles = CommunityBenchmarks::Percentiles;

std::optional<int> lookup(std::optional<double> value, const std::optional<Percentiles>& preferred,
                          const std::optional<Percentiles>& fallback) {
    if (!value) {
        return std::nullopt;
    }
    const auto& distribution = preferred ? preferred : fallback;
    return distribution ? distribution->percentile(*value) : std::nullopt;
}

} // namespace

UserPercentiles calculate(std::optional<double> throughput, std::optional<double> velocityRetention,
                          std::optional<double> activeDaysPerWeek, ProjectSizeBucket sizeBucket,
                          const CommunityBenchmarks& benchmarks, platform::Date now) {
    const std::string bucketName(platform::rawValue(sizeBucket));
    const auto entry = benchmarks.bySizeBucket.find(bucketName);
    const bool hasEntry = entry != benchmarks.bySizeBucket.end();
    const std::optional<Percentiles> none;

    UserPercentiles result;
    result.calculatedAt = now;
    result.sizeBucket = hasEntry ? bucketName : bucketName + "*";
    result.sizeBucketContributors = hasEntry ? entry->second.sampleSize : benchmarks.contributorCount;
    result.throughputPercentile =
        lookup(throughput, hasEntry ? entry->second.throughput : none, benchmarks.global.throughput);
    result.velocityRetentionPercentile = lookup(velocityRetention, hasEntry ? entry->second.velocityRetention : none,
                                                benchmarks.global.velocityRetention);
    result.consistencyPercentile = lookup(activeDaysPerWeek, none, benchmarks.global.consistency);
    result.norvaneIndex = calculateNorvaneIndex(result.throughputPercentile, result.velocityRetentionPercentile,
                                                result.consistencyPercentile);
    result.contributorCount = benchmarks.contributorCount;
    result.hasSufficientData = benchmarks.contributorCount > 99;
    return result;
}

std::optional<int> calculateNorvaneIndex(std::optional<int> throughputPercentile,
                                         std::optional<int> velocityRetentionPercentile,
                                         std::optional<int> consistencyPercentile) {
    if (!throughputPercentile) {
        return std::nullopt;
    }
    // Weights in hundredths keep the sum exact, so a mean of exactly n.5 rounds up as it should.
    std::int64_t sum = 40LL * *throughputPercentile;
    std::int64_t weight = 40;
    if (velocityRetentionPercentile) {
        sum += 25LL * *velocityRetentionPercentile;
        weight += 25;
    }
    if (consistencyPercentile) {
        sum += 35LL * *consistencyPercentile;
        weight += 35;
    }
    const double mean = static_cast<double>(sum) / static_cast<double>(weight);
    return static_cast<int>(std::clamp(std::round(mean), 0.0, 100.0));
}

} // namespace norvane::PercentileCalculator
