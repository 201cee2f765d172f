#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>

namespace norvane {

/// When the user commits: per hour, per weekday (1 = Sunday ... 7 = Saturday) and both together.
struct WorkPatterns {
    using Heatmap = std::array<std::array<int, 24>, 7>;

    /// Hours (0-23) with at least one commit.
    std::map<int, int> hourlyDistribution;
    /// Weekdays with at least one commit.
    std::map<int, int> dailyDistribution;
    /// Row = weekday - 1, column = hour.
    Heatmap heatmap{};
    /// Of equal counts the lowest hour; none without commits.
    std::optional<int> peakHour;
    /// Of equal counts the lowest weekday; none without commits.
    std::optional<int> peakDay;
    /// Saturday and Sunday commits as a share of all, 0-100.
    double weekendPercentage = 0;
    /// More than 40% of the commits between 20:00 and 23:59.
    bool isNightOwl = false;
    /// More than 40% of the commits between 00:00 and 09:59.
    bool isEarlyBird = false;
    int totalCommits = 0;

    /// "12am", "1am" ... "11am", "12pm", "1pm" ... "11pm".
    static std::string formatHour(int hour);
    /// "Sun" ... "Sat"; "?" for any other number.
    static std::string formatDay(int weekday);
    /// "Sunday" ... "Saturday"; "Unknown" for any other number.
    static std::string formatDayFull(int weekday);
};

} // namespace norvane
