#include "core/community/CachedBenchmarks.h"

#include "core/community/JsonCoding.h"

#include <cmath>

namespace norvane {

namespace {

double secondsBetween(platform::Date from, platform::Date to) {
    return std::chrono::duration<double>(to - from).count();
}

} // namespace

bool CachedBenchmarks::isValid(platform::Date now) const { return secondsBetween(fetchedAt, now) < ttlSeconds; }

std::string CachedBenchmarks::lastUpdatedDescription(platform::Date now) const {
    const auto hours = static_cast<std::int64_t>(std::trunc(secondsBetween(fetchedAt, now) / 3600));
    if (hours < 1) return "Updated just now";
    if (hours == 1) return "Updated 1 hour ago";
    if (hours < 24) return "Updated " + std::to_string(hours) + " hours ago";
    if (hours < 48) return "Updated 1 day ago";
    return "Updated " + std::to_string(hours / 24) + " days ago";
}

CachedBenchmarks CachedBenchmarks::fromJSON(const nlohmann::json& document) {
    return {
        .benchmarks = CommunityBenchmarks::fromJSON(JsonCoding::require(document, "benchmarks")),
        .fetchedAt = JsonCoding::asDate(JsonCoding::require(document, "fetchedAt"), "fetchedAt"),
    };
}

nlohmann::json CachedBenchmarks::toJSON() const {
    return {{"benchmarks", benchmarks.toJSON()}, {"fetched_at", JsonCoding::encodeDate(fetchedAt)}};
}

} // namespace norvane
