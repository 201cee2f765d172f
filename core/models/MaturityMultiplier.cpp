#include "core/models/MaturityMultiplier.h"

#include "core/models/DaysPerMonth.h"
#include "platform/LocalCalendar.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

namespace norvane {

MaturityMultiplier MaturityMultiplier::calculate(std::int64_t codeLines, std::int64_t complexity, double ageMonths) {
    MaturityMultiplier result;
    result.linesFactor =
        codeLines < 1 ? 0.0 : std::log10(static_cast<double>(std::max<std::int64_t>(codeLines, 100))) * 0.05;
    result.complexityFactor =
        complexity < 1 ? 0.0 : std::log10(static_cast<double>(std::max<std::int64_t>(complexity, 10))) * 0.04;
    // A non-finite age (from an unusable date) adds nothing rather than poisoning the value.
    result.ageFactor = std::isfinite(ageMonths) ? std::min(ageMonths, 24.0) * 0.025 : 0.0;
    result.value = 1.0 + result.linesFactor + result.complexityFactor + result.ageFactor;
    return result;
}

MaturityMultiplier MaturityMultiplier::calculate(std::int64_t codeLines, std::int64_t complexity,
                                                 std::optional<platform::Date> firstCommitAt, platform::Date now) {
    const double ageMonths =
        firstCommitAt ? platform::LocalCalendar::wholeDaysBetween(*firstCommitAt, now) / daysPerMonth : 0.0;
    return calculate(codeLines, complexity, ageMonths);
}

std::string MaturityMultiplier::explanation() const {
    return fmt::format(
        "Your work in this codebase is weighted {:.2f}x compared to greenfield work, reflecting the added complexity.",
        value);
}

} // namespace norvane
