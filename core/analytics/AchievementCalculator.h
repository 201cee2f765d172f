#pragma once

#include "core/analytics/Achievement.h"

#include <map>
#include <vector>

namespace norvane {

/// How many badges of a list are earned, overall and per category.
struct AchievementSummary {
    std::int64_t totalEarned = 0;
    std::int64_t totalAvailable = 0;
    /// Only the categories that occur in the list.
    std::map<Achievement::Category, std::int64_t> earnedByCategory;

    /// Earned share of the available badges in percent; 0 for an empty list.
    double completionPercent() const;
};

/// Grades the four figures against the badge templates. Pure: badges are recomputed every time.
namespace AchievementCalculator {

/// The line and streak badges always; the ranking badges only with a percentile, the retention
/// badge only with a retention. So 7, 8, 10 or 11 badges.
std::vector<Achievement> calculate(std::int64_t totalLines, std::int64_t longestStreak, std::int64_t currentStreak,
                                   std::optional<std::int64_t> norvaneIndexPercentile,
                                   std::optional<double> velocityRetention);

std::vector<Achievement> lineAchievements(std::int64_t totalLines);
/// Graded by the longer of the two streaks.
std::vector<Achievement> streakAchievements(std::int64_t longestStreak, std::int64_t currentStreak);
std::vector<Achievement> percentileAchievements(std::int64_t percentile);
std::vector<Achievement> retentionAchievements(double retentionPercent);

AchievementSummary summary(const std::vector<Achievement>& achievements);

} // namespace AchievementCalculator
} // namespace norvane
