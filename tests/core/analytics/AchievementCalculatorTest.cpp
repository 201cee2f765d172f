#include "core/analytics/AchievementCalculator.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace norvane {
namespace {

using Category = Achievement::Category;

const Achievement& badge(const std::vector<Achievement>& list, const std::string& id) {
    const auto found = std::ranges::find(list, id, &Achievement::id);
    if (found == list.end()) throw std::out_of_range(id);
    return *found;
}

TEST(AchievementCalculator, ThresholdsOnBothSides) {
    struct Case {
        std::int64_t lines;
        std::int64_t longest;
        std::int64_t current;
        std::optional<std::int64_t> percentile;
        std::optional<double> retention;
        std::string id;
        bool earned;
        double progress;
    };
    const Case cases[] = {
        {0, 0, 0, std::nullopt, std::nullopt, "lines_1k", false, 0.0},
        {999, 0, 0, std::nullopt, std::nullopt, "lines_1k", false, 0.999},
        {1000, 0, 0, std::nullopt, std::nullopt, "lines_1k", true, 1.0},
        {250000, 0, 0, std::nullopt, std::nullopt, "lines_100k", true, 1.0},
        {-500, 0, 0, std::nullopt, std::nullopt, "lines_1k", false, -0.5},
        {0, 45, 10, std::nullopt, std::nullopt, "streak_90", false, 0.5},
        {0, 29, 30, std::nullopt, std::nullopt, "streak_30", true, 1.0}, // the current run counts too
        {0, 0, 0, 75, std::nullopt, "top_25", true, 1.0},
        {0, 0, 0, 75, std::nullopt, "top_10", false, 75.0 / 90.0},
        {0, 0, 0, 49, std::nullopt, "top_50", false, 0.98},
        {0, 0, 0, std::nullopt, 79.9, "retention_80", false, 0.99875},
        {0, 0, 0, std::nullopt, 120.0, "retention_80", true, 1.0},
    };
    for (const auto& c : cases) {
        const auto list = AchievementCalculator::calculate(c.lines, c.longest, c.current, c.percentile, c.retention);
        const auto& achievement = badge(list, c.id);
        EXPECT_EQ(achievement.isEarned, c.earned) << c.id << " " << c.lines;
        EXPECT_DOUBLE_EQ(*achievement.progress, c.progress) << c.id << " " << c.lines;
    }
}

TEST(AchievementCalculator, AbsentFiguresLeaveTheirGroupsOutAndTheSummaryCountsPerCategory) {
    EXPECT_EQ(AchievementCalculator::calculate(0, 0, 0, std::nullopt, std::nullopt).size(), 7U);
    EXPECT_EQ(AchievementCalculator::calculate(0, 0, 0, 10, std::nullopt).size(), 10U);
    EXPECT_EQ(AchievementCalculator::calculate(0, 0, 0, std::nullopt, 50.0).back().id, "retention_80");

    const auto empty = AchievementCalculator::summary({});
    EXPECT_EQ(std::tuple(empty.totalAvailable, empty.completionPercent()), std::tuple(0, 0.0));
    const auto zero =
        AchievementCalculator::summary(AchievementCalculator::calculate(0, 0, 0, std::nullopt, std::nullopt));
    EXPECT_EQ(zero.earnedByCategory, (std::map<Category, std::int64_t>{{Category::lines, 0}, {Category::streaks, 0}}));
    const auto some = AchievementCalculator::summary(AchievementCalculator::calculate(10000, 30, 0, 50, 80.0));
    EXPECT_EQ(std::tuple(some.totalEarned, some.earnedByCategory.at(Category::lines),
                         some.earnedByCategory.at(Category::percentile)),
              std::tuple(5, 2, 1));
    EXPECT_DOUBLE_EQ(some.completionPercent(), 5.0 / 11.0 * 100.0);
}

} // namespace
} // namespace norvane
