#pragma once

#include <cstdint>

namespace norvane {

/// The lines of one output category in a stretch of days, and its share of all changed lines.
struct CategoryMetrics {
    std::int64_t insertions = 0;
    std::int64_t deletions = 0;
    double percent = 0.0; ///< 0 to 100
};

} // namespace norvane
