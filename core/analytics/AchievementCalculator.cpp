#include "core/analytics/AchievementCalculator.h"

#include "core/analytics/AchievementDefinitions.h"

#include <algorithm>

namespace norvane {

double AchievementSummary::completionPercent() const {
    if (totalAvailable < 1) return 0.0;
    return static_cast<double>(totalEarned) / static_cast<double>(totalAvailable) * 100.0;
}

namespace AchievementCalculator {

namespace {

double progressOf(double value, std::int64_t threshold) {
    return std::min(value / static_cast<double>(threshold), 1.0);
}

std::vector<Achievement> graded(Achievement::Category category, std::int64_t value) {
    std::vector<Achievement> result;
    for (const auto& definition : AchievementDefinitions::templates(category)) {
        result.push_back(definition.toAchievement(definition.threshold <= value, std::nullopt,
                                                  progressOf(static_cast<double>(value), definition.threshold)));
    }
    return result;
}

void append(std::vector<Achievement>& list, std::vector<Achievement> group) {
    list.insert(list.end(), std::make_move_iterator(group.begin()), std::make_move_iterator(group.end()));
}

} // namespace

std::vector<Achievement> lineAchievements(std::int64_t totalLines) {
    return graded(Achievement::Category::lines, totalLines);
}

std::vector<Achievement> streakAchievements(std::int64_t longestStreak, std::int64_t currentStreak) {
    return graded(Achievement::Category::streaks, std::max(currentStreak, longestStreak));
}

std::vector<Achievement> percentileAchievements(std::int64_t percentile) {
    return graded(Achievement::Category::percentile, percentile);
}

std::vector<Achievement> retentionAchievements(double retentionPercent) {
    std::vector<Achievement> result;
    for (const auto& definition : AchievementDefinitions::templates(Achievement::Category::retention)) {
        const bool earned = retentionPercent >= static_cast<double>(definition.threshold);
        result.push_back(
            definition.toAchievement(earned, std::nullopt, progressOf(retentionPercent, definition.threshold)));
    }
    return result;
}

std::vector<Achievement> calculate(std::int64_t totalLines, std::int64_t longestStreak, std::int64_t currentStreak,
                                   std::optional<std::int64_t> norvaneIndexPercentile,
                                   std::optional<double> velocityRetention) {
    std::vector<Achievement> result = lineAchievements(totalLines);
    append(result, streakAchievements(longestStreak, currentStreak));
    if (norvaneIndexPercentile) append(result, percentileAchievements(*norvaneIndexPercentile));
    if (velocityRetention) append(result, retentionAchievements(*velocityRetention));
    return result;
}

AchievementSummary summary(const std::vector<Achievement>& achievements) {
    AchievementSummary result;
    result.totalAvailable = static_cast<std::int64_t>(achievements.size());
    for (const auto& achievement : achievements) {
        auto& earned = result.earnedByCategory[achievement.category];
        if (achievement.isEarned) {
            ++earned;
            ++result.totalEarned;
        }
    }
    return result;
}

} // namespace AchievementCalculator
} // namespace norvane
