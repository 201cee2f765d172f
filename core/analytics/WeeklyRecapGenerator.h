#pragma once

#include "core/analytics/WeeklyRecap.h"
#include "core/models/DailyActivity.h"

#include <memory>
#include <vector>

namespace norvane {

/// Summarises the Monday-to-Sunday week of the given rows. On a Monday the week is the one that
/// ended yesterday; on other days the week in progress.
namespace WeeklyRecapGenerator {

/// None when no row falls into the week. Fetches nothing: the caller hands in the rows.
std::optional<WeeklyRecap> generate(const std::vector<std::shared_ptr<DailyActivity>>& rows, std::int64_t currentStreak,
                                    std::optional<std::int64_t> indexChange,
                                    platform::Date now = platform::currentDate());

} // namespace WeeklyRecapGenerator
} // namespace norvane
