#pragma once

#include "platform/Date.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace norvane {

/// The portfolio's figures of one local day that has history snapshots, as the daily rows keep
/// them.
struct PortfolioMetricsDayTotals {
    platform::Date dayStart;
    std::int64_t activeProjectCount = 0; ///< distinct projects with a history snapshot that day
    std::int64_t historyPointCount = 0;  ///< that day's history snapshots that belong to a project
    double dailyEffortMonths = 0.0;      ///< growth of the cumulative effort since the previous day
    double cumulativeEffortMonths = 0.0;
    std::string activeProjectNames; ///< ascending, joined with ","

    /// What the daily rows take of one history snapshot: when it was taken, its project (a place
    /// in the list of project names; none for a snapshot without a project) and its running effort.
    struct HistoryMoment {
        platform::Date capturedAt{};
        std::optional<std::size_t> project;
        double cumulativeEffortMonths = 0;
    };

    /// One entry per day, oldest first, from history snapshots sorted by capture time. Every
    /// project's highest cumulative effort so far carries forward to the following days, so the
    /// total does not rise and fall with the days on which each project happened to be sampled,
    /// and a day books only the growth of its projects' efforts.
    static std::vector<PortfolioMetricsDayTotals> fromHistory(const std::vector<HistoryMoment>& moments,
                                                              const std::vector<std::string>& projectNames);
};

} // namespace norvane
