#pragma once

#include "platform/Date.h"

#include <cstdint>

namespace norvane {

/// The running totals of one history snapshot, as a plain value: what the trends and milestones
/// read of a project's history, without its records.
struct HistoryPoint {
    platform::Date capturedAt{};
    std::int64_t codeLines = 0;
    double cumulativeEffortMonths = 0;
    double cumulativeEstimatedCost = 0;
    std::int64_t cumulativeLinesChanged = 0;

    bool operator==(const HistoryPoint&) const = default;
};

} // namespace norvane
