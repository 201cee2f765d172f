#include "core/collection/ModelAttributionSummary.h"

namespace norvane {

double ModelAttributionSummary::attributionCoverage() const {
    const int64_t all = totalAttributedCommits + unattributedCommits;
    if (all < 1) {
        return 0;
    }
    return static_cast<double>(totalAttributedCommits) / static_cast<double>(all) * 100.0;
}

std::optional<AIModel> ModelAttributionSummary::topLeverageModel() const {
    const ModelMetrics* best = nullptr;
    for (const auto& metrics : modelMetrics) {
        if (metrics.leverage && metrics.commitCount >= 5 && (!best || *metrics.leverage > *best->leverage)) {
            best = &metrics;
        }
    }
    return best ? std::optional(best->model) : std::nullopt;
}

std::optional<AIModel> ModelAttributionSummary::mostUsedModel() const {
    const ModelMetrics* best = nullptr;
    for (const auto& metrics : modelMetrics) {
        if (!best || metrics.commitCount > best->commitCount) {
            best = &metrics;
        }
    }
    return best ? std::optional(best->model) : std::nullopt;
}

} // namespace norvane
