#pragma once

#include <optional>

namespace norvane {

/// One project's effort-months per 30-day month over its last 7 and 14 days and the windows just
/// before them, and its effort-months per day. A figure is absent when its window gained nothing.
struct ProjectRollingLeverage {
    std::optional<double> leverage7Day;
    std::optional<double> leverage14Day;
    std::optional<double> leveragePrior7Day;
    std::optional<double> leveragePrior14Day;
    std::optional<double> throughput7Day;
    std::optional<double> throughput14Day;
};

} // namespace norvane
