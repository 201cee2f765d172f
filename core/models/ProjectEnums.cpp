#include "core/models/ProjectEnums.h"

namespace norvane {

CocomoCoefficients cocomoCoefficients(ProjectType type) {
    switch (type) {
    case ProjectType::organic: return {2.4, 1.05, 2.5, 0.38};
    case ProjectType::semiDetached: return {3.0, 1.12, 2.5, 0.35};
    case ProjectType::embedded: return {3.6, 1.20, 2.5, 0.32};
    }
    return {2.4, 1.05, 2.5, 0.38};
}

std::string_view displayName(ProjectTemperature temperature) {
    switch (temperature) {
    case ProjectTemperature::hot: return "Hot";
    case ProjectTemperature::warm: return "Warm";
    case ProjectTemperature::cold: return "Cold";
    case ProjectTemperature::frozen: return "Frozen";
    case ProjectTemperature::unknown: return "Unknown";
    }
    return {};
}

std::string_view iconName(ProjectTemperature temperature) {
    switch (temperature) {
    case ProjectTemperature::hot: return "flame.fill";
    case ProjectTemperature::warm: return "thermometer.medium";
    case ProjectTemperature::cold: return "snowflake";
    case ProjectTemperature::frozen: return "snowflake.circle";
    case ProjectTemperature::unknown: return "questionmark.circle";
    }
    return {};
}

std::string_view description(ProjectTemperature temperature) {
    switch (temperature) {
    case ProjectTemperature::hot: return "Active in last 3 days";
    case ProjectTemperature::warm: return "Active in last week";
    case ProjectTemperature::cold: return "No activity in 1-4 weeks";
    case ProjectTemperature::frozen: return "No activity in 30+ days";
    case ProjectTemperature::unknown: return "No commit history";
    }
    return {};
}

} // namespace norvane
