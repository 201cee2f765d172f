#include "core/analytics/StreakMilestone.h"

#include <algorithm>
#include <ranges>

namespace norvane {

namespace {

struct MilestoneTexts {
    std::string_view label;
    std::string_view shortLabel;
    std::string_view emoji;
    std::string_view celebrationMessage;
};

const MilestoneTexts& textsOf(StreakMilestone milestone) {
    static constexpr std::array<MilestoneTexts, 7> texts{{
        {"1 Week", "7d", "\U0001F525", "One week strong!"},
        {"2 Weeks", "14d", "\U0001F525", "Two weeks of momentum!"},
        {"1 Month", "30d", "\U0001F4AA", "A month of consistency!"},
        {"2 Months", "60d", "\u26A1", "Two months unstoppable!"},
        {"3 Months", "90d", "\U0001F3C6", "Quarter of dedication!"},
        {"6 Months", "180d", "\U0001F451", "Half year champion!"},
        {"1 Year", "365d", "\U0001F31F", "Legendary year-long streak!"},
    }};
    const auto position = std::ranges::find(allStreakMilestones, milestone) - allStreakMilestones.begin();
    return texts[static_cast<std::size_t>(position)];
}

} // namespace

std::optional<StreakMilestone> streakMilestoneFromRawValue(std::int64_t days) {
    for (const StreakMilestone milestone : allStreakMilestones) {
        if (rawValue(milestone) == days) return milestone;
    }
    return std::nullopt;
}

std::optional<StreakMilestone> streakMilestoneFor(std::int64_t days) {
    for (const StreakMilestone milestone : allStreakMilestones | std::views::reverse) {
        if (rawValue(milestone) <= days) return milestone;
    }
    return std::nullopt;
}

std::optional<StreakMilestone> nextStreakMilestoneAfter(std::int64_t days) {
    for (const StreakMilestone milestone : allStreakMilestones) {
        if (rawValue(milestone) > days) return milestone;
    }
    return std::nullopt;
}

std::string_view label(StreakMilestone milestone) { return textsOf(milestone).label; }
std::string_view shortLabel(StreakMilestone milestone) { return textsOf(milestone).shortLabel; }
std::string_view emoji(StreakMilestone milestone) { return textsOf(milestone).emoji; }
std::string_view celebrationMessage(StreakMilestone milestone) { return textsOf(milestone).celebrationMessage; }

} // namespace norvane
