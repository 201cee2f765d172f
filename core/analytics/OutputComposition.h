#pragma once

#include "core/analytics/CategoryMetrics.h"
#include "core/analytics/ProjectPhase.h"

#include <cstdint>

namespace norvane {

/// How the changed lines of a stretch of days split into code, docs, tests and config.
struct OutputComposition {
    CategoryMetrics code;
    CategoryMetrics docs;
    CategoryMetrics tests;
    CategoryMetrics config;

    /// Insertions and deletions of all four categories.
    std::int64_t totalLinesTouched() const;
    /// The phase that the stored percentages suggest; `planning` when nothing changed.
    ProjectPhase inferredPhase() const;
};

} // namespace norvane
