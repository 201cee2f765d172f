#pragma once

#include "core/models/ProjectEnums.h"

#include <cstdint>

namespace norvane {

/// A Basic COCOMO (1981) estimate of a body of source lines: effort, schedule, average staff
/// and cost.
struct CocomoEstimate {
    int64_t sloc = 0;
    double effortMonths = 0;    ///< person-months
    double scheduleMonths = 0;  ///< calendar months
    double estimatedPeople = 0; ///< effort / schedule; 0 when there is no effort
    double estimatedCost = 0;   ///< US dollars

    /// Effort = a * (sloc / 1000)^b, schedule = c * effort^d, cost = wage / 12 * effort * overhead,
    /// with the mode's coefficients. Negative line counts count as 0 lines.
    static CocomoEstimate calculate(int64_t sloc, ProjectType projectType, double averageWage, double overhead);

    /// Effort-months delivered per calendar month (30 days) per person; 0 without days or people.
    double leverageRatio(int64_t calendarDays, int64_t headcount) const;
};

} // namespace norvane
