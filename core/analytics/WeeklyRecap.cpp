#include "core/analytics/WeeklyRecap.h"

namespace norvane {

bool WeekComparison::isImproving() const {
    const int improved =
        (linesChangePercent > 0 ? 1 : 0) + (commitsChangePercent > 0 ? 1 : 0) + (activeDaysChange > 0 ? 1 : 0);
    return improved >= 2;
}

} // namespace norvane
