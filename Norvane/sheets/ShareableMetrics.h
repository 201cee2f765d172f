#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/RawValueEnum.h"

namespace norvane::app {

/// The window a shared summary covers; the raw value is also its display text.
enum class ShareTimePeriod { sevenDays, fourteenDays, thirtyDays };

/// The period the user chose for the shared summary.
struct ShareableSummaryConfig {
    ShareTimePeriod timePeriod = ShareTimePeriod::thirtyDays;
};

/// The figures of the shared summary for all three periods, as the portfolio page gathers them.
struct ShareableMetrics {
    std::optional<double> leverage7Day;
    std::optional<double> leverage14Day;
    std::optional<double> leverage30Day;
    /// Read as a percentile.
    std::optional<int> norvaneIndex;
    std::int64_t linesTouched7Day = 0;
    std::int64_t linesTouched14Day = 0;
    std::int64_t linesTouched30Day = 0;
    /// Projects that are not archived.
    std::int64_t projectCount = 0;

    std::optional<double> leverage(ShareTimePeriod period) const;
    std::int64_t linesTouched(ShareTimePeriod period) const;
};

} // namespace norvane::app

template <>
struct norvane::platform::EnumTraits<norvane::app::ShareTimePeriod> {
    static constexpr std::array cases{
        std::pair{norvane::app::ShareTimePeriod::sevenDays, std::string_view("7 Days")},
        std::pair{norvane::app::ShareTimePeriod::fourteenDays, std::string_view("14 Days")},
        std::pair{norvane::app::ShareTimePeriod::thirtyDays, std::string_view("30 Days")},
    };
};
