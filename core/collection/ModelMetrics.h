#pragma once

#include "core/models/AIModel.h"

#include <cstdint>
#include <optional>

namespace norvane {

/// The attributed work of one AI model over a span of days.
struct ModelMetrics {
    AIModel model = AIModel::unknown;
    int64_t commitCount = 0;
    int64_t linesChanged = 0;
    int64_t insertions = 0;
    int64_t deletions = 0;
    double estimatedEffortMonths = 0;
    double estimatedCost = 0;
    /// Effort-months per calendar month of the span; absent unless above 0.
    std::optional<double> leverage;
    double commitShare = 0; ///< percent of all attributed commits
    double linesShare = 0;  ///< percent of all changed lines

    bool operator==(const ModelMetrics&) const = default;
};

} // namespace norvane
