#pragma once

#include "core/community/BenchmarkDataQuality.h"
#include "platform/Date.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace norvane {

/// The user's figures placed among the community's: three percentiles and the composite index.
struct UserPercentiles {
    /// A percentile's verdict; `atOrAboveMedian` is true from 50 to 100.
    struct Assessment {
        std::string label;
        bool atOrAboveMedian = false;
    };

    platform::Date calculatedAt{};
    /// The size bucket's raw value, followed by "*" when the overall figures stood in for it.
    std::string sizeBucket;
    std::optional<int> throughputPercentile;
    std::optional<int> velocityRetentionPercentile;
    std::optional<int> consistencyPercentile;
    /// The composite index, 0 to 100.
    std::optional<int> norvaneIndex;
    bool hasSufficientData = false;
    std::int64_t contributorCount = 0;
    /// Contributors of the bucket's entry, or of the whole benchmark when the bucket had none.
    std::int64_t sizeBucketContributors = 0;

    BenchmarkDataQuality dataQuality() const { return classifyBenchmarkDataQuality(contributorCount); }

    std::optional<std::string> formattedThroughput() const;
    std::optional<std::string> formattedRetention() const;
    std::optional<std::string> formattedConsistency() const;
    /// "73 (73rd percentile)".
    std::optional<std::string> formattedIndex() const;

    /// The number with its English ordinal suffix: "1st", "12th", "23rd".
    static std::string formatPercentile(std::int64_t value);
    static Assessment assessment(std::int64_t percentile);

    /// snake_case keys, the date in ISO 8601, absent percentiles and index left out.
    nlohmann::json toJSON() const;
    /// Reads snake_case or camelCase keys; the percentiles and the index may be missing, the rest
    /// is required. Throws `JsonDecodingError`.
    static UserPercentiles fromJSON(const nlohmann::json& object);
};

} // namespace norvane
