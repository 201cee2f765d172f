#pragma once

#include "core/analytics/Achievement.h"

#include <array>
#include <vector>

namespace norvane {

/// The fixed definition of one badge.
struct AchievementTemplate {
    std::string_view id;
    Achievement::Category category = Achievement::Category::lines;
    Achievement::Tier tier = Achievement::Tier::bronze;
    std::string_view title;
    std::string_view description;
    std::string_view emoji;
    std::string_view requirement;
    /// Compared with a line count, streak days, a percentile or a retention percent.
    std::int64_t threshold = 0;

    Achievement toAchievement(bool isEarned, std::optional<platform::Date> earnedAt,
                              std::optional<double> progress) const;
};

/// The eleven badges.
namespace AchievementDefinitions {

// clang-format off
inline constexpr AchievementTemplate lines1k{"lines_1k", Achievement::Category::lines, Achievement::Tier::bronze,
    "First Steps", "Write your first 1,000 lines of code", "\U0001F4DD", "1K lines", 1000};
inline constexpr AchievementTemplate lines10k{"lines_10k", Achievement::Category::lines, Achievement::Tier::silver,
    "Getting Serious", "Write 10,000 lines of code", "\U0001F4BB", "10K lines", 10000};
inline constexpr AchievementTemplate lines50k{"lines_50k", Achievement::Category::lines, Achievement::Tier::gold,
    "Code Machine", "Write 50,000 lines of code", "\u26A1", "50K lines", 50000};
inline constexpr AchievementTemplate lines100k{"lines_100k", Achievement::Category::lines, Achievement::Tier::platinum,
    "Legendary Coder", "Write 100,000 lines of code", "\U0001F3C6", "100K lines", 100000};
inline constexpr AchievementTemplate streak30{"streak_30", Achievement::Category::streaks, Achievement::Tier::bronze,
    "Month Strong", "Maintain a 30-day shipping streak", "\U0001F525", "30 day streak", 30};
inline constexpr AchievementTemplate streak90{"streak_90", Achievement::Category::streaks, Achievement::Tier::silver,
    "Quarter Champion", "Maintain a 90-day shipping streak", "\U0001F4AA", "90 day streak", 90};
inline constexpr AchievementTemplate streak365{"streak_365", Achievement::Category::streaks, Achievement::Tier::platinum,
    "Year of Code", "Maintain a 365-day shipping streak", "\U0001F31F", "365 day streak", 365};
inline constexpr AchievementTemplate top50{"top_50", Achievement::Category::percentile, Achievement::Tier::bronze,
    "Above Average", "Reach the top 50% of developers", "\U0001F4C8", "50th percentile", 50};
inline constexpr AchievementTemplate top25{"top_25", Achievement::Category::percentile, Achievement::Tier::silver,
    "High Performer", "Reach the top 25% of developers", "\U0001F680", "75th percentile", 75};
inline constexpr AchievementTemplate top10{"top_10", Achievement::Category::percentile, Achievement::Tier::gold,
    "Elite Developer", "Reach the top 10% of developers", "\U0001F451", "90th percentile", 90};
inline constexpr AchievementTemplate retention80{"retention_80", Achievement::Category::retention, Achievement::Tier::gold,
    "Sustainable Architect", "Maintain 80%+ velocity retention", "\U0001F3D7\uFE0F", "80%+ retention", 80};
// clang-format on

inline constexpr std::array<AchievementTemplate, 11> all{
    lines1k, lines10k, lines50k, lines100k, streak30, streak90, streak365, top50, top25, top10, retention80,
};

/// The templates of one category, in the order of `all`.
std::vector<AchievementTemplate> templates(Achievement::Category category);

} // namespace AchievementDefinitions
} // namespace norvane
