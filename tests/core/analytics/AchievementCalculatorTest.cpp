#include "core/analytics/AchievementCalculator.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace norvane {
namespace {

using Category = Achievement::Category;
using Tier = Achievement::Tier;

const Achievement& badge(const std::vector<Achievement>& list, const std::string& id) {
    const auto found = std::ranges::find(list, id, &Achievement::id);
    if (found == list.end()) throw std::out_of_range(id);
    return *found;
}

std::vector<std::string> idsOf(const std::vector<Achievement>& list) {
    std::vector<std::string> ids;
    for (const auto& achievement : list) ids.push_back(achievement.id);
    return ids;
}

TEST(AchievementCalculator, AllZeroGivesSevenUnearnedBadges) {
    const auto list = AchievementCalculator::calculate(0, 0, 0, std::nullopt, std::nullopt);
    EXPECT_EQ(idsOf(list), (std::vector<std::string>{"lines_1k", "lines_10k", "lines_50k", "lines_100k", "streak_30",
                                                     "streak_90", "streak_365"}));
    for (const auto& achievement : list) {
        EXPECT_FALSE(achievement.isEarned) << achievement.id;
        EXPECT_EQ(achievement.progress, 0.0) << achievement.id;
        EXPECT_FALSE(achievement.earnedAt);
    }
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
        {999, 0, 0, std::nullopt, std::nullopt, "lines_1k", false, 0.999},
        {1000, 0, 0, std::nullopt, std::nullopt, "lines_1k", true, 1.0},
        {9999, 0, 0, std::nullopt, std::nullopt, "lines_10k", false, 0.9999},
        {250000, 0, 0, std::nullopt, std::nullopt, "lines_100k", true, 1.0},
        {0, 45, 10, std::nullopt, std::nullopt, "streak_30", true, 1.0},
        {0, 45, 10, std::nullopt, std::nullopt, "streak_90", false, 0.5},
        {0, 29, 30, std::nullopt, std::nullopt, "streak_30", true, 1.0},
        {0, 364, 0, std::nullopt, std::nullopt, "streak_365", false, 364.0 / 365.0},
        {0, 0, 0, 75, std::nullopt, "top_50", true, 1.0},
        {0, 0, 0, 75, std::nullopt, "top_25", true, 1.0},
        {0, 0, 0, 75, std::nullopt, "top_10", false, 75.0 / 90.0},
        {0, 0, 0, 49, std::nullopt, "top_50", false, 0.98},
        {0, 0, 0, std::nullopt, 79.9, "retention_80", false, 0.99875},
        {0, 0, 0, std::nullopt, 80.0, "retention_80", true, 1.0},
        {0, 0, 0, std::nullopt, 120.0, "retention_80", true, 1.0},
        {-500, 0, 0, std::nullopt, std::nullopt, "lines_1k", false, -0.5},
    };
    for (const auto& c : cases) {
        const auto list = AchievementCalculator::calculate(c.lines, c.longest, c.current, c.percentile, c.retention);
        const auto& achievement = badge(list, c.id);
        EXPECT_EQ(achievement.isEarned, c.earned) << c.id << " " << c.lines;
        EXPECT_DOUBLE_EQ(*achievement.progress, c.progress) << c.id << " " << c.lines;
    }
}

TEST(AchievementCalculator, AbsentFiguresLeaveTheirGroupsOut) {
    EXPECT_EQ(AchievementCalculator::calculate(0, 0, 0, 10, std::nullopt).size(), 10U);
    const auto withRetention = AchievementCalculator::calculate(0, 0, 0, std::nullopt, 50.0);
    ASSERT_EQ(withRetention.size(), 8U);
    EXPECT_EQ(withRetention.back().id, "retention_80");
    const auto all = AchievementCalculator::calculate(100000, 400, 0, 95, 90.0);
    ASSERT_EQ(all.size(), 11U);
    EXPECT_TRUE(std::ranges::all_of(all, &Achievement::isEarned));
}

TEST(AchievementCalculator, BadgesCarryTheirTemplateTexts) {
    const auto list = AchievementCalculator::calculate(0, 0, 0, 0, 0.0);
    EXPECT_EQ(badge(list, "retention_80").title, "Sustainable Architect");
    EXPECT_EQ(badge(list, "lines_1k").description, "Write your first 1,000 lines of code");
}

TEST(AchievementCalculator, SummaryCountsPerCategoryThatOccurs) {
    const auto empty = AchievementCalculator::summary({});
    EXPECT_EQ(empty.totalEarned, 0);
    EXPECT_EQ(empty.totalAvailable, 0);
    EXPECT_TRUE(empty.earnedByCategory.empty());
    EXPECT_EQ(empty.completionPercent(), 0.0);

    const auto zero =
        AchievementCalculator::summary(AchievementCalculator::calculate(0, 0, 0, std::nullopt, std::nullopt));
    EXPECT_EQ(zero.totalAvailable, 7);
    EXPECT_EQ(zero.earnedByCategory, (std::map<Category, std::int64_t>{{Category::lines, 0}, {Category::streaks, 0}}));

    const auto some = AchievementCalculator::summary(AchievementCalculator::calculate(10000, 30, 0, 50, 80.0));
    EXPECT_EQ(some.totalEarned, 5);
    EXPECT_EQ(some.earnedByCategory.at(Category::lines), 2);
    EXPECT_EQ(some.earnedByCategory.at(Category::percentile), 1);
    EXPECT_DOUBLE_EQ(some.completionPercent(), 5.0 / 11.0 * 100.0);
}

TEST(AchievementCalculator, TiersReadOnlyTheirOwnNumbers) {
    EXPECT_EQ(achievementTierFromRawValue(0), std::nullopt);
    EXPECT_EQ(achievementTierFromRawValue(1), Tier::bronze);
    EXPECT_EQ(achievementTierFromRawValue(4), Tier::platinum);
    EXPECT_EQ(achievementTierFromRawValue(5), std::nullopt);
}

} // namespace
} // namespace norvane
