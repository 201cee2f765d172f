#include "core/analytics/ProjectPhase.h"

namespace norvane {

std::string_view description(ProjectPhase phase) {
    switch (phase) {
    case ProjectPhase::planning: return "High documentation ratio - typical for early project phases";
    case ProjectPhase::activeDevelopment: return "Heavy code output - typical for active feature building";
    case ProjectPhase::stabilization: return "High test ratio - typical for projects approaching release";
    case ProjectPhase::maintenance: return "Balanced, smaller changes - typical for mature projects";
    }
    return {};
}

std::string_view iconName(ProjectPhase phase) {
    switch (phase) {
    case ProjectPhase::planning: return "doc.text";
    case ProjectPhase::activeDevelopment: return "hammer";
    case ProjectPhase::stabilization: return "checkmark.shield";
    case ProjectPhase::maintenance: return "wrench.and.screwdriver";
    }
    return {};
}

} // namespace norvane
