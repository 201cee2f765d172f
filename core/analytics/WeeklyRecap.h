#pragma once

#include "platform/Date.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace norvane {

/// The single project-day of the week with the most lines changed.
struct DayHighlight {
    platform::Date date{};
    /// Full weekday name in the user's language, such as "Monday".
    std::string dayOfWeek;
    std::int64_t linesChanged = 0;
    std::int64_t commits = 0;
};

/// This week against the week before.
struct WeekComparison {
    double linesChangePercent = 0;
    double commitsChangePercent = 0;
    std::int64_t activeDaysChange = 0;

    /// At least two of the three figures grew.
    bool isImproving() const;
};

/// One Monday-to-Sunday week of work across all projects.
struct WeeklyRecap {
    platform::Date weekStart{};
    std::int64_t totalLinesChanged = 0;
    std::int64_t codeLinesChanged = 0;
    std::int64_t docsLinesChanged = 0;
    std::int64_t testLinesChanged = 0;
    std::int64_t configLinesChanged = 0;
    std::int64_t totalCommits = 0;
    std::int64_t activeDays = 0;
    double effortMonths = 0;
    std::optional<DayHighlight> bestDay;
    std::optional<WeekComparison> previousWeekComparison;
    std::int64_t currentStreak = 0;
    std::optional<std::int64_t> indexChange;
    /// Distinct project names, sorted.
    std::vector<std::string> projectsWorkedOn;
};

} // namespace norvane
