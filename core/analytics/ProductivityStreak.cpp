#include "core/analytics/ProductivityStreak.h"

namespace norvane {

std::optional<std::int64_t> ProductivityStreak::daysToNextMilestone() const {
    const auto next = nextMilestone();
    if (!next) return std::nullopt;
    return rawValue(*next) - currentStreak;
}

} // namespace norvane
