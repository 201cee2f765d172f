#include "core/analytics/OutputComposition.h"

namespace norvane {

std::int64_t OutputComposition::totalLinesTouched() const {
    return code.insertions + code.deletions + docs.insertions + docs.deletions + tests.insertions + tests.deletions +
           config.insertions + config.deletions;
}

ProjectPhase OutputComposition::inferredPhase() const {
    if (totalLinesTouched() < 1 || docs.percent > 30.0) return ProjectPhase::planning;
    if (code.percent > 55.0 && tests.percent < 15.0) return ProjectPhase::activeDevelopment;
    if (tests.percent > 25.0) return ProjectPhase::stabilization;
    return ProjectPhase::maintenance;
}

} // namespace norvane
