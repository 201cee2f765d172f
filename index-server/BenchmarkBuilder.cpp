#include "index-server/BenchmarkBuilder.h"

#include "platform/Iso8601.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace norvane::indexserver::BenchmarkBuilder {

namespace {

/// The figures of the contributors of one group (everyone, or one size bucket), one value per
/// contributor in each list that the contributor has a value for.
struct GroupFigures {
    std::size_t contributors = 0;
    std::vector<double> throughput;
    std::vector<double> consistency;
    std::vector<double> velocityRetention;
    /// Shares of code, docs, tests and config, in percent, of contributors with changed lines.
    std::array<std::vector<double>, 4> shares;
};

double activeDaysPerWeek(const ContributorTotals& totals) {
    const auto first = platform::Iso8601::parse(totals.firstDay);
    const auto last = platform::Iso8601::parse(totals.lastDay);
    const double spanDays = first && last ? std::chrono::duration<double>(*last - *first).count() / 86400.0 + 1 : 1;
    return static_cast<double>(totals.activeDays) * 7.0 / std::max(7.0, spanDays);
}

void add(GroupFigures& group, const ContributorTotals& totals) {
    ++group.contributors;
    group.throughput.push_back(totals.codeLines / static_cast<double>(std::max<std::int64_t>(totals.activeDays, 1)));
    group.consistency.push_back(activeDaysPerWeek(totals));
    if (totals.velocityRetention) {
        group.velocityRetention.push_back(*totals.velocityRetention);
    }
    const std::array<double, 4> lines{totals.codeLines, totals.docsLines, totals.testLines, totals.configLines};
    const double total = lines[0] + lines[1] + lines[2] + lines[3];
    if (total > 0) {
        for (std::size_t category = 0; category < lines.size(); ++category) {
            group.shares[category].push_back(lines[category] / total * 100);
        }
    }
}

bool isPublished(const GroupFigures& group) { return group.contributors >= minimumContributors; }

/// The reports that the figures over everyone take in: those of the published buckets, and their
/// velocity retention only where the bucket publishes its own.
TotalsScope scopeOfEveryone(const std::map<std::string, GroupFigures>& buckets) {
    TotalsScope scope;
    for (const auto& [bucket, group] : buckets) {
        if (isPublished(group)) {
            scope.buckets.push_back(bucket);
            if (group.velocityRetention.size() >= minimumContributors) {
                scope.retentionBuckets.push_back(bucket);
            }
        }
    }
    return scope;
}

/// The value at the nearest rank of `percent` in `sorted`: the smallest value that at least
/// `percent` percent of the values do not exceed.
double atNearestRank(const std::vector<double>& sorted, std::size_t percent) {
    const std::size_t rank = (percent * sorted.size() + 99) / 100;
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

/// The distribution of `values`, one per contributor, when there are enough of them to publish.
std::optional<CommunityBenchmarks::Percentiles> published(const std::vector<double>& values) {
    return values.size() >= minimumContributors ? distribution(values) : std::nullopt;
}

std::optional<CommunityBenchmarks::CompositionNorms> composition(const GroupFigures& group) {
    std::array<std::optional<CommunityBenchmarks::Percentiles>, 4> ranges;
    for (std::size_t category = 0; category < ranges.size(); ++category) {
        ranges[category] = published(group.shares[category]);
    }
    if (!ranges[0]) {
        return std::nullopt;
    }
    return CommunityBenchmarks::CompositionNorms{
        ranges[0]->p25, ranges[0]->p75, ranges[1]->p25, ranges[1]->p75,
        ranges[2]->p25, ranges[2]->p75, ranges[3]->p25, ranges[3]->p75,
    };
}

CommunityBenchmarks::SizeBucketBenchmarks bucketEntry(const std::string& bucket, const GroupFigures& group) {
    return {
        .bucket = bucket,
        .sampleSize = static_cast<std::int64_t>(group.contributors),
        .throughput = published(group.throughput),
        .velocityRetention = published(group.velocityRetention),
        .codeRatio = published(group.shares[0]),
        .typicalComposition = composition(group),
    };
}

} // namespace

std::optional<CommunityBenchmarks::Percentiles> distribution(std::vector<double> values) {
    if (values.empty()) {
        return std::nullopt;
    }
    std::sort(values.begin(), values.end());
    const auto at = [&values](std::size_t percent) {
        return roundToTwoSignificantDigits(atNearestRank(values, percent));
    };
    return CommunityBenchmarks::Percentiles{at(10), at(25), at(50), at(75), at(90)};
}

double roundToTwoSignificantDigits(double value) {
    if (value == 0 || !std::isfinite(value)) {
        return value;
    }
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    // Scaled by a power of ten that is exact, so that 0.046 comes out as the number nearest 0.046.
    if (exponent >= 1) {
        const double unit = std::pow(10.0, exponent - 1);
        return std::round(value / unit) * unit;
    }
    const double scale = std::pow(10.0, 1 - exponent);
    return std::round(value * scale) / scale;
}

CommunityBenchmarks build(ReportStore& store, platform::Date now) {
    std::map<std::string, GroupFigures> buckets;
    GroupFigures everyone;
    store.readContributors([&buckets](const ContributorTotals& totals) { add(buckets[totals.sizeBucket], totals); },
                           [&buckets] { return scopeOfEveryone(buckets); },
                           [&everyone](const ContributorTotals& totals) { add(everyone, totals); });
    CommunityBenchmarks benchmarks;
    benchmarks.generatedAt = now;
    benchmarks.contributorCount = static_cast<std::int64_t>(everyone.contributors);
    benchmarks.global = {
        .throughput = published(everyone.throughput),
        .consistency = published(everyone.consistency),
        .velocityRetention = published(everyone.velocityRetention),
    };
    for (const auto& [bucket, group] : buckets) {
        if (isPublished(group)) {
            benchmarks.bySizeBucket.emplace(bucket, bucketEntry(bucket, group));
        }
    }
    return benchmarks;
}

} // namespace norvane::indexserver::BenchmarkBuilder
