#pragma once

#include "platform/Date.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace norvane {

/// The portfolio's figures over one window of days. Effort is in COCOMO person-months; leverage
/// is effort-months per 30-day month. An absent value means its period had no effort.
struct PortfolioMetrics {
    double dailyThroughput = 0.0;     ///< mean daily effort over the window's daily rows
    double parallelismFactor = 0.0;   ///< mean active projects over the window's daily rows
    double capacityUtilization = 0.0; ///< throughput in percent of the peak, at most 100
    double peakThroughput = 0.0;      ///< best mean of as many consecutive rows in the last 90 days
    std::optional<platform::Date> peakPeriodStart;
    std::optional<platform::Date> peakPeriodEnd;
    double totalEffortMonths = 0.0;
    int portfolioAgeDays = 0;
    double portfolioLeverage = 0.0;           ///< total effort per month of age
    std::optional<double> leveragePrior;      ///< the same ratio as it stood 30 days ago
    std::optional<double> leverageGrowthRate; ///< percent change against the prior
    double churnRatio = 1.0;                  ///< (insertions + deletions) / larger of the two
    double netGrowthRate = 0.0;               ///< (insertions - deletions) / (insertions + deletions) * 100
    std::int64_t recentInsertions = 0;
    std::int64_t recentDeletions = 0;
    double focusIndex = 1.0; ///< sum of squared project shares of the window's history points
    int activeProjectsInWindow = 0;
    std::map<std::string, double> projectShares; ///< project name to percent
    std::optional<double> rollingLeverage7Day;
    std::optional<double> rollingLeverage14Day;
    std::optional<double> rollingLeveragePrior7Day;
    std::optional<double> rollingLeveragePrior14Day;
    std::optional<double> rollingThroughput7Day;
    std::optional<double> rollingThroughput14Day;
    std::optional<double> rollingLeverage30Day;
    std::optional<double> rollingLeveragePrior30Day;
    std::optional<double> peak7DayLeverage;
    std::optional<platform::Date> peak7DayStart;
    std::optional<platform::Date> peak7DayEnd;
    std::optional<double> peak14DayLeverage;
    std::optional<platform::Date> peak14DayStart;
    std::optional<platform::Date> peak14DayEnd;
    std::optional<double> current7DayPercentile;  ///< share of 7-row windows below the current one
    std::optional<double> current14DayPercentile; ///< share of 14-row windows below the current one
};

} // namespace norvane
