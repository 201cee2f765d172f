#pragma once

#include "core/community/ImprovementSuggestion.h"
#include "core/community/UserPercentiles.h"

#include <optional>
#include <string>
#include <vector>

namespace norvane {

/// Turns weak percentiles (below 50) into advice and strong ones (75 and more) into praise.
namespace ImprovementSuggestionGenerator {

/// At most three items of high or medium priority, high first; ties keep the order throughput,
/// consistency, retention.
std::vector<ImprovementSuggestion> generate(const UserPercentiles& percentiles);
/// At most three items of low priority, in the order throughput, consistency, retention.
std::vector<ImprovementSuggestion> generateStrengths(const UserPercentiles& percentiles);

/// High priority for 0-24, medium for 25-49, none otherwise.
std::optional<ImprovementSuggestion> throughputSuggestion(int percentile, const std::string& sizeBucket);
std::optional<ImprovementSuggestion> consistencySuggestion(int percentile);
std::optional<ImprovementSuggestion> retentionSuggestion(int percentile);

} // namespace ImprovementSuggestionGenerator
} // namespace norvane
