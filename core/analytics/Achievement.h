#pragma once

#include "platform/Date.h"
#include "platform/RawValueEnum.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace norvane {

/// A badge earned when one figure (lines, streak, ranking or retention) reaches a threshold.
struct Achievement {
    enum class Category { lines, streaks, percentile, retention };
    /// Ordered by raw value, bronze lowest.
    enum class Tier : std::int64_t { bronze = 1, silver = 2, gold = 3, platinum = 4 };

    std::string id;
    Category category = Category::lines;
    Tier tier = Tier::bronze;
    std::string title;
    std::string description;
    std::string emoji;
    std::string requirement;
    bool isEarned = false;
    std::optional<platform::Date> earnedAt;
    /// Share of the threshold reached, at most 1.
    std::optional<double> progress;
};

constexpr std::int64_t rawValue(Achievement::Tier tier) { return static_cast<std::int64_t>(tier); }
std::optional<Achievement::Tier> achievementTierFromRawValue(std::int64_t rawValue);
std::string_view displayName(Achievement::Tier tier);

} // namespace norvane

template <>
struct norvane::platform::EnumTraits<norvane::Achievement::Category> {
    static constexpr std::array cases{
        std::pair{Achievement::Category::lines, std::string_view("Lines Written")},
        std::pair{Achievement::Category::streaks, std::string_view("Streaks")},
        std::pair{Achievement::Category::percentile, std::string_view("Ranking")},
        std::pair{Achievement::Category::retention, std::string_view("Architecture")},
    };
};
