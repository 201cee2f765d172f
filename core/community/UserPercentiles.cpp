#include "core/community/UserPercentiles.h"

#include "core/community/JsonCoding.h"

#include <limits>

namespace norvane {

namespace {

std::optional<std::string> ordinal(const std::optional<int>& percentile) {
    return percentile ? std::optional(UserPercentiles::formatPercentile(*percentile)) : std::nullopt;
}

std::optional<int> rangeCheckedPercentile(const nlohmann::json& object, std::string_view key) {
    const auto value = JsonCoding::optionalInteger(object, key);
    if (value && (*value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max())) {
        throw JsonDecodingError("Expected a 32-bit integer for key \"" + std::string(key) + "\"");
    }
    return value ? std::optional(static_cast<int>(*value)) : std::nullopt;
}

} // namespace

std::optional<std::string> UserPercentiles::formattedThroughput() const { return ordinal(throughputPercentile); }

std::optional<std::string> UserPercentiles::formattedRetention() const { return ordinal(velocityRetentionPercentile); }

std::optional<std::string> UserPercentiles::formattedConsistency() const { return ordinal(consistencyPercentile); }

std::optional<std::string> UserPercentiles::formattedIndex() const {
    if (!norvaneIndex) {
        return std::nullopt;
    }
    return std::to_string(*norvaneIndex) + " (" + formatPercentile(*norvaneIndex) + " percentile)";
}

std::string UserPercentiles::formatPercentile(std::int64_t value) {
    const std::int64_t lastTwo = value % 100;
    const std::int64_t last = value % 10;
    const char* suffix = "th";
    if (lastTwo != 11 && lastTwo != 12 && lastTwo != 13) {
        if (last == 1) suffix = "st";
        if (last == 2) suffix = "nd";
        if (last == 3) suffix = "rd";
    }
    return std::to_string(value) + suffix;
}

UserPercentiles::Assessment UserPercentiles::assessment(std::int64_t percentile) {
    if (percentile >= 90 && percentile <= 100) return {"Exceptional", true};
    if (percentile >= 75 && percentile <= 89) return {"Above Average", true};
    if (percentile >= 50 && percentile <= 74) return {"Average", true};
    if (percentile >= 25 && percentile <= 49) return {"Below Average", false};
    return {"Needs Improvement", false};
}

nlohmann::json UserPercentiles::toJSON() const {
    nlohmann::json object{{"calculated_at", JsonCoding::encodeDate(calculatedAt)}, {"size_bucket", sizeBucket}};
    JsonCoding::putOptional(object, "throughput_percentile", throughputPercentile);
    JsonCoding::putOptional(object, "velocity_retention_percentile", velocityRetentionPercentile);
    JsonCoding::putOptional(object, "consistency_percentile", consistencyPercentile);
    JsonCoding::putOptional(object, "norvane_index", norvaneIndex);
    object["has_sufficient_data"] = hasSufficientData;
    object["contributor_count"] = contributorCount;
    object["size_bucket_contributors"] = sizeBucketContributors;
    return object;
}

UserPercentiles UserPercentiles::fromJSON(const nlohmann::json& object) {
    using namespace JsonCoding;
    return {
        .calculatedAt = asDate(require(object, "calculatedAt"), "calculatedAt"),
        .sizeBucket = text(object, "sizeBucket"),
        .throughputPercentile = rangeCheckedPercentile(object, "throughputPercentile"),
        .velocityRetentionPercentile = rangeCheckedPercentile(object, "velocityRetentionPercentile"),
        .consistencyPercentile = rangeCheckedPercentile(object, "consistencyPercentile"),
        .norvaneIndex = rangeCheckedPercentile(object, "norvaneIndex"),
        .hasSufficientData = boolean(object, "hasSufficientData"),
        .contributorCount = integer(object, "contributorCount"),
        .sizeBucketContributors = integer(object, "sizeBucketContributors"),
    };
}

} // namespace norvane
