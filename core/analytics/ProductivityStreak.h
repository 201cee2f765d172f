#pragma once

#include "core/analytics/StreakMilestone.h"
#include "platform/Date.h"

#include <cstdint>
#include <optional>

namespace norvane {

/// The current and the longest run of consecutive active days.
struct ProductivityStreak {
    /// Days of the run that ends today or yesterday; 0 when neither day is active.
    std::int64_t currentStreak = 0;
    std::optional<platform::Date> streakStartDate;
    std::int64_t longestStreak = 0;
    std::optional<platform::Date> longestStreakStartDate;
    std::optional<platform::Date> longestStreakEndDate;
    bool isActive = false;

    std::optional<StreakMilestone> currentMilestone() const { return streakMilestoneFor(currentStreak); }
    std::optional<StreakMilestone> nextMilestone() const { return nextStreakMilestoneAfter(currentStreak); }
    std::optional<std::int64_t> daysToNextMilestone() const;
};

} // namespace norvane
