#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace norvane {

/// A step on the ladder of streak lengths; the raw value is the number of days.
enum class StreakMilestone : std::int64_t {
    week = 7,
    twoWeeks = 14,
    month = 30,
    twoMonths = 60,
    quarter = 90,
    halfYear = 180,
    year = 365,
};

/// Every milestone, shortest first.
inline constexpr std::array<StreakMilestone, 7> allStreakMilestones{
    StreakMilestone::week,    StreakMilestone::twoWeeks, StreakMilestone::month, StreakMilestone::twoMonths,
    StreakMilestone::quarter, StreakMilestone::halfYear, StreakMilestone::year,
};

/// The number of days of the milestone.
constexpr std::int64_t rawValue(StreakMilestone milestone) { return static_cast<std::int64_t>(milestone); }

/// The milestone of exactly `days` days, or none.
std::optional<StreakMilestone> streakMilestoneFromRawValue(std::int64_t days);

/// The highest milestone of at most `days` days; none below a week.
std::optional<StreakMilestone> streakMilestoneFor(std::int64_t days);

/// The lowest milestone of more than `days` days; none from a year on.
std::optional<StreakMilestone> nextStreakMilestoneAfter(std::int64_t days);

std::string_view label(StreakMilestone milestone);
std::string_view shortLabel(StreakMilestone milestone);
std::string_view emoji(StreakMilestone milestone);
std::string_view celebrationMessage(StreakMilestone milestone);

} // namespace norvane
