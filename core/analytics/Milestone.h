#pragma once

#include "platform/Date.h"
#include "platform/RawValueEnum.h"
#include "platform/Uuid.h"

#include <array>
#include <string_view>

namespace norvane {

/// A cost or line-count figure that a project's history reaches once.
enum class MilestoneType { value10k, value50k, value100k, value500k, sloc1k, sloc5k, sloc10k, sloc50k };

/// Estimated cost in US dollars for the cost cases, lines changed for the others.
double threshold(MilestoneType type);
bool isCost(MilestoneType type);
std::string_view iconName(MilestoneType type);

/// The cost milestones, lowest first.
inline constexpr std::array<MilestoneType, 4> costMilestones{MilestoneType::value10k, MilestoneType::value50k,
                                                             MilestoneType::value100k, MilestoneType::value500k};
/// The line-count milestones, lowest first.
inline constexpr std::array<MilestoneType, 4> lineCountMilestones{MilestoneType::sloc1k, MilestoneType::sloc5k,
                                                                  MilestoneType::sloc10k, MilestoneType::sloc50k};

/// The moment a project first reached a milestone. Each one made gets a fresh id.
struct Milestone {
    platform::Uuid id = platform::Uuid::random();
    MilestoneType type = MilestoneType::value10k;
    platform::Date reachedAt{};
    /// Whole local days from the project's start; negative when reached before it.
    int daysFromStart = 0;
    /// Cost in US dollars or lines changed, as the type measures.
    double value = 0;

    Milestone(MilestoneType milestoneType, platform::Date reachedDate, int daysSinceStart, double reachedValue)
        : type(milestoneType), reachedAt(reachedDate), daysFromStart(daysSinceStart), value(reachedValue) {}
};

} // namespace norvane

template <>
struct norvane::platform::EnumTraits<norvane::MilestoneType> {
    static constexpr std::array cases{
        std::pair{MilestoneType::value10k, std::string_view("$10K")},
        std::pair{MilestoneType::value50k, std::string_view("$50K")},
        std::pair{MilestoneType::value100k, std::string_view("$100K")},
        std::pair{MilestoneType::value500k, std::string_view("$500K")},
        std::pair{MilestoneType::sloc1k, std::string_view("1K SLOC")},
        std::pair{MilestoneType::sloc5k, std::string_view("5K SLOC")},
        std::pair{MilestoneType::sloc10k, std::string_view("10K SLOC")},
        std::pair{MilestoneType::sloc50k, std::string_view("50K SLOC")},
    };
};
