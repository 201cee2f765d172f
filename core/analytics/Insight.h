#pragma once

#include "platform/RawValueEnum.h"
#include "platform/Uuid.h"

#include <map>
#include <optional>
#include <string>

namespace norvane {

/// The kind of an insight. `productiveWeek` and `newPeak` exist but no rule gives them.
enum class InsightType {
    optimalParallelism,
    lowCapacity,
    highCapacity,
    productiveDay,
    productiveWeek,
    addProject,
    tooManyProjects,
    streak,
    newPeak,
};

/// How urgent an insight is; ordered low < medium < high.
enum class InsightPriority : int { low = 0, medium = 1, high = 2 };

constexpr int rawValue(InsightPriority priority) { return static_cast<int>(priority); }
std::optional<InsightPriority> insightPriorityFromRawValue(int rawValue);

/// One plain-language observation about the portfolio. Each one made gets a fresh id.
struct Insight {
    platform::Uuid id = platform::Uuid::random();
    InsightType type = InsightType::streak;
    std::string title;
    std::string message;
    InsightPriority priority = InsightPriority::low;
    /// Symbol name that stands for the insight.
    std::string icon;
    /// The figures behind the insight.
    std::map<std::string, double> data;

    Insight(InsightType insightType, std::string insightTitle, std::string insightMessage,
            InsightPriority insightPriority, std::string iconName, std::map<std::string, double> figures)
        : type(insightType), title(std::move(insightTitle)), message(std::move(insightMessage)),
          priority(insightPriority), icon(std::move(iconName)), data(std::move(figures)) {}
};

} // namespace norvane

template <>
struct norvane::platform::EnumTraits<norvane::InsightType> {
    static constexpr std::array cases{
        std::pair{InsightType::optimalParallelism, std::string_view("optimalParallelism")},
        std::pair{InsightType::lowCapacity, std::string_view("lowCapacity")},
        std::pair{InsightType::highCapacity, std::string_view("highCapacity")},
        std::pair{InsightType::productiveDay, std::string_view("productiveDay")},
        std::pair{InsightType::productiveWeek, std::string_view("productiveWeek")},
        std::pair{InsightType::addProject, std::string_view("addProject")},
        std::pair{InsightType::tooManyProjects, std::string_view("tooManyProjects")},
        std::pair{InsightType::streak, std::string_view("streak")},
        std::pair{InsightType::newPeak, std::string_view("newPeak")},
    };
};
