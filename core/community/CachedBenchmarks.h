#pragma once

#include "core/community/CommunityBenchmarks.h"

#include <string>

namespace norvane {

/// The last community benchmarks the client received, with the moment it received them.
struct CachedBenchmarks {
    /// How long a fetch counts as fresh: one day.
    static constexpr double ttlSeconds = 86400;

    CommunityBenchmarks benchmarks;
    platform::Date fetchedAt{};

    /// True while less than `ttlSeconds` have passed since the fetch.
    bool isValid(platform::Date now = platform::currentDate()) const;
    /// "Updated just now", "Updated 1 hour ago", "Updated 5 hours ago", "Updated 1 day ago",
    /// "Updated 3 days ago".
    std::string lastUpdatedDescription(platform::Date now = platform::currentDate()) const;

    /// {"benchmarks": ..., "fetched_at": ...}; throws `JsonDecodingError`.
    static CachedBenchmarks fromJSON(const nlohmann::json& document);
    /// Throws `JsonEncodingError` for a non-finite number.
    nlohmann::json toJSON() const;
};

} // namespace norvane
