#pragma once

#include "core/collection/ModelMetrics.h"

#include <optional>
#include <vector>

namespace norvane {

/// The attributed work per AI model, larger `linesChanged` first.
struct ModelAttributionSummary {
    std::vector<ModelMetrics> modelMetrics;
    int64_t totalAttributedCommits = 0;
    /// Always 0: a commit without any marker leaves no record to count.
    int64_t unattributedCommits = 0;

    /// Percent of commits that carry an attribution; 0 without commits.
    double attributionCoverage() const;
    /// The model with the highest leverage among those with at least 5 commits; the earlier
    /// entry wins a tie.
    std::optional<AIModel> topLeverageModel() const;
    /// The model with the most commits; the earlier entry wins a tie.
    std::optional<AIModel> mostUsedModel() const;
};

} // namespace norvane
