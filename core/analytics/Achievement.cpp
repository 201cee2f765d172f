#include "core/analytics/Achievement.h"

namespace norvane {

std::optional<Achievement::Tier> achievementTierFromRawValue(std::int64_t rawValue) {
    if (rawValue < 1 || rawValue > 4) return std::nullopt;
    return static_cast<Achievement::Tier>(rawValue);
}

std::string_view displayName(Achievement::Tier tier) {
    switch (tier) {
    case Achievement::Tier::bronze: return "Bronze";
    case Achievement::Tier::silver: return "Silver";
    case Achievement::Tier::gold: return "Gold";
    case Achievement::Tier::platinum: return "Platinum";
    }
    return {};
}

} // namespace norvane
