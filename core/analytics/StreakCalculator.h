#pragma once

#include "core/analytics/ProductivityStreak.h"

#include <set>

namespace norvane {

/// Turns the set of active days into the current and the longest streak.
namespace StreakCalculator {

/// `activeDays` holds moments of the active local days, normally their starts; days are local
/// calendar dates. Days after today take part in the longest run only.
ProductivityStreak calculate(const std::set<platform::Date>& activeDays, platform::Date now = platform::currentDate());

} // namespace StreakCalculator
} // namespace norvane
