#include "core/analytics/RetentionAssessment.h"

namespace norvane {

std::string_view message(RetentionAssessment assessment) {
    switch (assessment) {
    case RetentionAssessment::excellent: return "Your architecture is scaling exceptionally well.";
    case RetentionAssessment::good: return "Your architecture is scaling well.";
    case RetentionAssessment::typical: return "Normal velocity decline as codebase matures.";
    case RetentionAssessment::belowAverage: return "Consider refactoring to improve maintainability.";
    case RetentionAssessment::tooEarly: return "Baseline not yet established (need 60+ days of history).";
    }
    return {};
}

std::string_view iconName(RetentionAssessment assessment) {
    switch (assessment) {
    case RetentionAssessment::excellent: return "star.fill";
    case RetentionAssessment::good: return "checkmark.circle.fill";
    case RetentionAssessment::typical: return "minus.circle.fill";
    case RetentionAssessment::belowAverage: return "exclamationmark.triangle.fill";
    case RetentionAssessment::tooEarly: return "clock";
    }
    return {};
}

} // namespace norvane
