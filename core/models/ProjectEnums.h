#pragma once

#include "platform/RawValueEnum.h"

#include <string_view>

namespace norvane {

/// Where a project is in its life. Archived projects are left out of lists and collections.
enum class ProjectStatus { active, paused, archived };

/// The Basic COCOMO (1981) mode of a project.
enum class ProjectType { organic, semiDetached, embedded };

/// How recently a project saw a commit.
enum class ProjectTemperature { hot, warm, cold, frozen, unknown };

/// Effort = a * KLOC^b; schedule = c * effort^d.
struct CocomoCoefficients {
    double a;
    double b;
    double c;
    double d;
};

CocomoCoefficients cocomoCoefficients(ProjectType type);

std::string_view displayName(ProjectTemperature temperature);
std::string_view iconName(ProjectTemperature temperature);
std::string_view description(ProjectTemperature temperature);

} // namespace norvane

template <>
struct norvane::platform::EnumTraits<norvane::ProjectStatus> {
    static constexpr std::array cases{
        std::pair{ProjectStatus::active, std::string_view("active")},
        std::pair{ProjectStatus::paused, std::string_view("paused")},
        std::pair{ProjectStatus::archived, std::string_view("archived")},
    };
};

template <>
struct norvane::platform::EnumTraits<norvane::ProjectType> {
    static constexpr std::array cases{
        std::pair{ProjectType::organic, std::string_view("organic")},
        std::pair{ProjectType::semiDetached, std::string_view("semiDetached")},
        std::pair{ProjectType::embedded, std::string_view("embedded")},
    };
};

template <>
struct norvane::platform::EnumTraits<norvane::ProjectTemperature> {
    static constexpr std::array cases{
        std::pair{ProjectTemperature::hot, std::string_view("hot")},
        std::pair{ProjectTemperature::warm, std::string_view("warm")},
        std::pair{ProjectTemperature::cold, std::string_view("cold")},
        std::pair{ProjectTemperature::frozen, std::string_view("frozen")},
        std::pair{ProjectTemperature::unknown, std::string_view("unknown")},
    };
};
