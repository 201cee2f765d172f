#pragma once

#include "platform/Date.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace norvane {

/// The distributions of the figures that contributors report, overall and per project size bucket,
/// as the benchmark service publishes them.
///
/// Reading is lenient about the optional parts: a distribution or composition that is missing or
/// malformed is left absent, while a missing required field fails the whole document.
struct CommunityBenchmarks {
    /// The 10th to 90th percentile points of one figure.
    struct Percentiles {
        double p10 = 0;
        double p25 = 0;
        double p50 = 0;
        double p75 = 0;
        double p90 = 0;

        /// Where `value` lies in the distribution, 10 to 100. None for a value or a point that is not
        /// a finite number, where no placing can be made.
        std::optional<int> percentile(double value) const;

        static Percentiles fromJSON(const nlohmann::json& object);
        nlohmann::json toJSON() const;
    };

    /// The usual ranges, in percent, of each output category's share of the changed lines.
    struct CompositionNorms {
        double codePercentMin = 0;
        double codePercentMax = 0;
        double docsPercentMin = 0;
        double docsPercentMax = 0;
        double testsPercentMin = 0;
        double testsPercentMax = 0;
        double configPercentMin = 0;
        double configPercentMax = 0;

        static CompositionNorms fromJSON(const nlohmann::json& object);
        nlohmann::json toJSON() const;
    };

    struct BenchmarkSet {
        std::optional<Percentiles> throughput;
        std::optional<Percentiles> consistency;
        std::optional<Percentiles> velocityRetention;

        static BenchmarkSet fromJSON(const nlohmann::json& object);
        nlohmann::json toJSON() const;
    };

    struct SizeBucketBenchmarks {
        std::optional<std::string> bucket;
        std::int64_t sampleSize = 0;
        std::optional<Percentiles> throughput;
        std::optional<Percentiles> velocityRetention;
        std::optional<Percentiles> codeRatio;
        std::optional<CompositionNorms> typicalComposition;

        static SizeBucketBenchmarks fromJSON(const nlohmann::json& object);
        nlohmann::json toJSON() const;
    };

    platform::Date generatedAt{};
    std::int64_t contributorCount = 0;
    BenchmarkSet global;
    /// Keyed by the size buckets' display texts ("Greenfield" ... "Enterprise"), matched exactly.
    std::map<std::string, SizeBucketBenchmarks> bySizeBucket;

    /// Reads the service's document (snake_case keys, ISO 8601 dates with or without fractional
    /// seconds); throws `JsonDecodingError`.
    static CommunityBenchmarks fromJSON(const nlohmann::json& document);
    /// snake_case keys, absent parts left out; throws `JsonEncodingError` for a non-finite number.
    nlohmann::json toJSON() const;
};

} // namespace norvane
