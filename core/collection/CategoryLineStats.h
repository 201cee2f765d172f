#pragma once

#include <cstdint>

namespace norvane {

/// Inserted and deleted lines of one output category.
struct CategoryLineStats {
    int64_t insertions = 0;
    int64_t deletions = 0;

    static constexpr CategoryLineStats empty() { return {}; }
    int64_t linesChanged() const { return insertions + deletions; }

    bool operator==(const CategoryLineStats&) const = default;
};

} // namespace norvane
