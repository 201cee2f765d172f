#include "core/community/ImprovementSuggestion.h"

namespace norvane {

std::optional<ImprovementSuggestion::Priority> suggestionPriorityFromRawValue(int rawValue) {
    if (rawValue < 1 || rawValue > 3) {
        return std::nullopt;
    }
    return static_cast<ImprovementSuggestion::Priority>(rawValue);
}

} // namespace norvane
