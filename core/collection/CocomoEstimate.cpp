#include "core/collection/CocomoEstimate.h"

#include "core/models/DaysPerMonth.h"

#include <algorithm>
#include <cmath>

namespace norvane {

CocomoEstimate CocomoEstimate::calculate(int64_t sloc, ProjectType projectType, double averageWage, double overhead) {
    const auto [a, b, c, d] = cocomoCoefficients(projectType);
    const double thousands = static_cast<double>(std::max<int64_t>(sloc, 0)) / 1000.0;
    const double effort = a * std::pow(thousands, b);
    const double schedule = c * std::pow(effort, d);
    // No lines give no schedule; 0 / 0 would be no number of people.
    const double people = schedule > 0 ? effort / schedule : 0.0;
    const double cost = (averageWage / 12.0) * effort * overhead;
    return {sloc, effort, schedule, people, cost};
}

double CocomoEstimate::leverageRatio(int64_t calendarDays, int64_t headcount) const {
    const double months = static_cast<double>(calendarDays) / daysPerMonth;
    if (!(months > 0) || headcount < 1) {
        return 0;
    }
    return effortMonths / months / static_cast<double>(headcount);
}

} // namespace norvane
