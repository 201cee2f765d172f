#pragma once

#include "platform/RawValueEnum.h"

#include <string_view>

namespace norvane {

/// The development phase that a project's output composition suggests. The raw value is the
/// display text.
enum class ProjectPhase { planning, activeDevelopment, stabilization, maintenance };

std::string_view description(ProjectPhase phase);
std::string_view iconName(ProjectPhase phase);

} // namespace norvane

template <>
struct norvane::platform::EnumTraits<norvane::ProjectPhase> {
    static constexpr std::array cases{
        std::pair{ProjectPhase::planning, std::string_view("Planning")},
        std::pair{ProjectPhase::activeDevelopment, std::string_view("Active Development")},
        std::pair{ProjectPhase::stabilization, std::string_view("Stabilization")},
        std::pair{ProjectPhase::maintenance, std::string_view("Maintenance")},
    };
};
