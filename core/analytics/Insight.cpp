#include "core/analytics/Insight.h"

namespace norvane {

std::optional<InsightPriority> insightPriorityFromRawValue(int rawValue) {
    if (rawValue < 0 || rawValue > 2) return std::nullopt;
    return static_cast<InsightPriority>(rawValue);
}

} // namespace norvane
