#pragma once

#include "core/collection/CategoryLineStats.h"
#include "core/models/OutputCategory.h"

#include <cstdint>

namespace norvane {

/// The line counts of a stretch of history, in total and per output category.
struct GitActivityStats {
    int64_t insertions = 0;
    int64_t deletions = 0;
    int64_t commitCount = 0;
    int64_t filesChanged = 0; ///< distinct paths
    CategoryLineStats codeStats;
    CategoryLineStats docsStats;
    CategoryLineStats testStats;
    CategoryLineStats configStats;

    static constexpr GitActivityStats empty() { return {}; }
    int64_t linesTouched() const { return insertions + deletions; }

    CategoryLineStats& stats(OutputCategory category) {
        switch (category) {
        case OutputCategory::docs: return docsStats;
        case OutputCategory::tests: return testStats;
        case OutputCategory::config: return configStats;
        case OutputCategory::code: break;
        }
        return codeStats;
    }

    bool operator==(const GitActivityStats&) const = default;
};

} // namespace norvane
