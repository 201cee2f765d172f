#pragma once

#include "platform/RawValueEnum.h"
#include "platform/Uuid.h"

#include <optional>
#include <string>

namespace norvane {

/// One piece of advice (or praise) about one benchmark metric.
struct ImprovementSuggestion {
    enum class Metric { throughput, consistency, retention };
    /// Ordered by raw value: `high` sorts first.
    enum class Priority : int { high = 1, medium = 2, low = 3 };

    /// Fresh and random for every item made.
    platform::Uuid id = platform::Uuid::random();
    Metric metric = Metric::throughput;
    Priority priority = Priority::medium;
    std::string title;
    std::string description;
    std::string iconName;
    /// The percentile the item was made from.
    std::optional<int> currentPercentile;
};

constexpr int rawValue(ImprovementSuggestion::Priority priority) { return static_cast<int>(priority); }
/// 1, 2 or 3; none for any other number.
std::optional<ImprovementSuggestion::Priority> suggestionPriorityFromRawValue(int rawValue);

} // namespace norvane

template <>
struct norvane::platform::EnumTraits<norvane::ImprovementSuggestion::Metric> {
    static constexpr std::array cases{
        std::pair{ImprovementSuggestion::Metric::throughput, std::string_view("Throughput")},
        std::pair{ImprovementSuggestion::Metric::consistency, std::string_view("Consistency")},
        std::pair{ImprovementSuggestion::Metric::retention, std::string_view("Velocity Retention")},
    };
};
