#include "index-server/BenchmarkBuilder.h"

#include "platform/Iso8601.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace norvane::indexserver::BenchmarkBuilder {

namespace {

/// One contributor's figures within one group of reports.
struct ContributorFigures {
    double throughput = 0;
    double consistency = 0;
    std::optional<double> velocityRetention;
    /// Shares of code, docs, tests and config, in percent; none without changed lines.
    std::optional<std::array<double, 4>> shares;
};

double activeDaysPerWeek(const std::set<std::string>& days) {
    const auto first = platform::Iso8601::parse(*days.begin());
    const auto last = platform::Iso8601::parse(*days.rbegin());
    const double spanDays = first && last ? std::chrono::duration<double>(*last - *first).count() / 86400.0 + 1 : 1;
    return static_cast<double>(days.size()) * 7.0 / std::max(7.0, spanDays);
}

/// The mean as a sum of shares, which stays finite for any finite values, however large.
double meanOf(const std::vector<double>& values) {
    const auto count = static_cast<double>(values.size());
    double mean = 0;
    for (const double value : values) {
        mean += value / count;
    }
    return mean;
}

ContributorFigures figuresOf(const std::vector<const StoredReport*>& reports) {
    std::set<std::string> days;
    std::array<double, 4> lines{};
    std::vector<double> retentions;
    for (const auto* report : reports) {
        days.insert(report->activityDay);
        lines[0] += static_cast<double>(report->codeLinesChanged);
        lines[1] += static_cast<double>(report->docsLinesChanged);
        lines[2] += static_cast<double>(report->testLinesChanged);
        lines[3] += static_cast<double>(report->configLinesChanged);
        if (report->velocityRetention && std::isfinite(*report->velocityRetention)) {
            retentions.push_back(*report->velocityRetention);
        }
    }
    ContributorFigures figures;
    figures.throughput = lines[0] / static_cast<double>(days.size());
    figures.consistency = activeDaysPerWeek(days);
    if (!retentions.empty()) {
        figures.velocityRetention = meanOf(retentions);
    }
    const double total = lines[0] + lines[1] + lines[2] + lines[3];
    if (total > 0) {
        figures.shares = std::array<double, 4>{lines[0] * 100 / total, lines[1] * 100 / total, lines[2] * 100 / total,
                                               lines[3] * 100 / total};
    }
    return figures;
}

/// The figures of every contributor among `reports`.
std::vector<ContributorFigures> contributors(const std::vector<const StoredReport*>& reports) {
    std::map<std::string, std::vector<const StoredReport*>> byDevice;
    for (const auto* report : reports) {
        byDevice[report->deviceId].push_back(report);
    }
    std::vector<ContributorFigures> result;
    for (const auto& [device, own] : byDevice) {
        result.push_back(figuresOf(own));
    }
    return result;
}

template <typename Select>
std::optional<CommunityBenchmarks::Percentiles> distributionOf(const std::vector<ContributorFigures>& figures,
                                                               Select select) {
    std::vector<double> values;
    for (const auto& contributor : figures) {
        if (const std::optional<double> value = select(contributor)) {
            values.push_back(*value);
        }
    }
    return distribution(std::move(values));
}

std::optional<CommunityBenchmarks::CompositionNorms> composition(const std::vector<ContributorFigures>& figures) {
    std::array<std::optional<CommunityBenchmarks::Percentiles>, 4> ranges;
    for (std::size_t category = 0; category < ranges.size(); ++category) {
        ranges[category] = distributionOf(figures, [category](const ContributorFigures& contributor) {
            return contributor.shares ? std::optional((*contributor.shares)[category]) : std::nullopt;
        });
    }
    if (!ranges[0]) {
        return std::nullopt;
    }
    return CommunityBenchmarks::CompositionNorms{
        ranges[0]->p25, ranges[0]->p75, ranges[1]->p25, ranges[1]->p75,
        ranges[2]->p25, ranges[2]->p75, ranges[3]->p25, ranges[3]->p75,
    };
}

CommunityBenchmarks::SizeBucketBenchmarks bucketEntry(const std::string& bucket,
                                                      const std::vector<const StoredReport*>& reports) {
    const auto figures = contributors(reports);
    return {
        .bucket = bucket,
        .sampleSize = static_cast<std::int64_t>(figures.size()),
        .throughput = distributionOf(figures, [](const auto& c) { return std::optional(c.throughput); }),
        .velocityRetention = distributionOf(figures, [](const auto& c) { return c.velocityRetention; }),
        .codeRatio = distributionOf(
            figures, [](const auto& c) { return c.shares ? std::optional((*c.shares)[0]) : std::nullopt; }),
        .typicalComposition = composition(figures),
    };
}

} // namespace

std::optional<CommunityBenchmarks::Percentiles> distribution(std::vector<double> values) {
    if (values.empty()) {
        return std::nullopt;
    }
    std::sort(values.begin(), values.end());
    const auto at = [&values](double fraction) {
        const double position = fraction * static_cast<double>(values.size() - 1);
        const auto lower = static_cast<std::size_t>(position);
        const std::size_t upper = std::min(lower + 1, values.size() - 1);
        const double weight = position - static_cast<double>(lower);
        // Weighted rather than lower + (upper - lower) * weight, whose difference can overflow.
        return values[lower] * (1 - weight) + values[upper] * weight;
    };
    return CommunityBenchmarks::Percentiles{at(0.10), at(0.25), at(0.50), at(0.75), at(0.90)};
}

CommunityBenchmarks build(const std::vector<StoredReport>& reports, platform::Date now) {
    std::vector<const StoredReport*> everything;
    std::map<std::string, std::vector<const StoredReport*>> byBucket;
    for (const auto& report : reports) {
        everything.push_back(&report);
        byBucket[report.sizeBucket].push_back(&report);
    }
    const auto figures = contributors(everything);
    CommunityBenchmarks benchmarks;
    benchmarks.generatedAt = now;
    benchmarks.contributorCount = static_cast<std::int64_t>(figures.size());
    benchmarks.global = {
        .throughput = distributionOf(figures, [](const auto& c) { return std::optional(c.throughput); }),
        .consistency = distributionOf(figures, [](const auto& c) { return std::optional(c.consistency); }),
        .velocityRetention = distributionOf(figures, [](const auto& c) { return c.velocityRetention; }),
    };
    for (const auto& [bucket, own] : byBucket) {
        benchmarks.bySizeBucket.emplace(bucket, bucketEntry(bucket, own));
    }
    return benchmarks;
}

} // namespace norvane::indexserver::BenchmarkBuilder
