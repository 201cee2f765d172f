#include "core/analytics/AchievementDefinitions.h"

namespace norvane {

Achievement AchievementTemplate::toAchievement(bool isEarned, std::optional<platform::Date> earnedAt,
                                               std::optional<double> progress) const {
    return {
        .id = std::string(id),
        .category = category,
        .tier = tier,
        .title = std::string(title),
        .description = std::string(description),
        .emoji = std::string(emoji),
        .requirement = std::string(requirement),
        .isEarned = isEarned,
        .earnedAt = earnedAt,
        .progress = progress,
    };
}

std::vector<AchievementTemplate> AchievementDefinitions::templates(Achievement::Category category) {
    std::vector<AchievementTemplate> result;
    for (const auto& definition : all) {
        if (definition.category == category) result.push_back(definition);
    }
    return result;
}

} // namespace norvane
