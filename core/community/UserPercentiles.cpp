#include "core/community/UserPercentiles.h"

namespace norvane {

namespace {

std::optional<std::string> ordinal(const std::optional<int>& percentile) {
    return percentile ? std::optional(UserPercentiles::formatPercentile(*percentile)) : std::nullopt;
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

} // namespace norvane
