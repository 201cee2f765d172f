#pragma once

#include "core/analytics/ProductivityStreak.h"

#include <set>

namespace norvane {

/// Turns the set of active days into the current and the longest streak.
namespace StreakCalculator {

/// `activeDays` holds the starts of local days; membership compares dates exactly. Dates after
/// today take part in the longest run only.
ProductivityStreak calculate(const std::set<platform::Date>& activeDays, platform::Date now = platform::currentDate());

} // namespace StreakCalculator
} // namespace norvane
