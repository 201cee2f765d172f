#include "core/analytics/OutputComposition.h"
#include "core/analytics/VelocityRetention.h"

#include <gtest/gtest.h>

#include <cmath>

namespace norvane {
namespace {

/// A composition of 100 changed lines split by the given percentages.
OutputComposition split(double code, double docs, double tests, double config = 0.0) {
    const auto lines = [](double percent) { return CategoryMetrics{static_cast<std::int64_t>(percent), 0, percent}; };
    return {lines(code), lines(docs), lines(tests), lines(config)};
}

TEST(OutputComposition, PhaseRuleAppliesItsBoundsInOrder) {
    EXPECT_EQ(OutputComposition{}.inferredPhase(), ProjectPhase::planning);
    EXPECT_EQ(split(70, 30, 0).inferredPhase(), ProjectPhase::activeDevelopment);
    EXPECT_EQ(split(69.99, 30.01, 0).inferredPhase(), ProjectPhase::planning);
    EXPECT_EQ(split(60, 25, 15).inferredPhase(), ProjectPhase::maintenance);
    EXPECT_EQ(split(55, 0, 0, 45).inferredPhase(), ProjectPhase::maintenance);
    EXPECT_EQ(split(50, 24, 26).inferredPhase(), ProjectPhase::stabilization);
    EXPECT_EQ(split(60, 31, 10).inferredPhase(), ProjectPhase::planning);
    // Percentages without lines behind them say nothing.
    OutputComposition empty;
    empty.code.percent = 100.0;
    EXPECT_EQ(empty.inferredPhase(), ProjectPhase::planning);
}

TEST(VelocityRetention, BandsIncludeTheirLowerBound) {
    const std::pair<double, RetentionAssessment> cases[] = {
        {70.0, RetentionAssessment::excellent},
        {69.999, RetentionAssessment::good},
        {50.0, RetentionAssessment::good},
        {49.99, RetentionAssessment::typical},
        {35.0, RetentionAssessment::typical},
        {34.99, RetentionAssessment::belowAverage},
        {std::nan(""), RetentionAssessment::belowAverage},
    };
    for (const auto& [percent, assessment] : cases) EXPECT_EQ(VelocityRetention::classify(percent), assessment);
}

} // namespace
} // namespace norvane
