#include "Norvane/sheets/ShareableMetrics.h"

namespace norvane::app {

std::optional<double> ShareableMetrics::leverage(ShareTimePeriod period) const {
    switch (period) {
    case ShareTimePeriod::sevenDays: return leverage7Day;
    case ShareTimePeriod::fourteenDays: return leverage14Day;
    case ShareTimePeriod::thirtyDays: return leverage30Day;
    }
    return std::nullopt;
}

std::int64_t ShareableMetrics::linesTouched(ShareTimePeriod period) const {
    switch (period) {
    case ShareTimePeriod::sevenDays: return linesTouched7Day;
    case ShareTimePeriod::fourteenDays: return linesTouched14Day;
    case ShareTimePeriod::thirtyDays: return linesTouched30Day;
    }
    return 0;
}

} // namespace norvane::app
