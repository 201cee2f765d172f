#include "core/collection/CocomoEstimate.h"
#include "core/collection/MarketRateEstimate.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

TEST(CocomoEstimate, EachModeAndNoLines) {
    struct Case {
        int64_t lines;
        ProjectType type;
        double effort;
        double schedule;
        double people;
        double cost;
    };
    const Case cases[] = {
        {1000, ProjectType::organic, 2.4, 3.4867, 0.6883, 72000},
        {10000, ProjectType::semiDetached, 39.5477, 9.0559, 4.3671, 1186431.06},
        {10000, ProjectType::embedded, 57.0562, 9.1192, 6.2567, 1711684.65},
        {0, ProjectType::embedded, 0, 0, 0, 0},
        {-500, ProjectType::organic, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const auto estimate = CocomoEstimate::calculate(c.lines, c.type, 150000, 2.4);
        EXPECT_EQ(estimate.sloc, c.lines);
        EXPECT_NEAR(estimate.effortMonths, c.effort, 5e-5) << c.lines;
        EXPECT_NEAR(estimate.scheduleMonths, c.schedule, 5e-5) << c.lines;
        EXPECT_NEAR(estimate.estimatedPeople, c.people, 5e-5) << c.lines;
        EXPECT_NEAR(estimate.estimatedCost, c.cost, 5e-3) << c.lines;
    }
    const auto estimate = CocomoEstimate::calculate(10000, ProjectType::organic, 150000, 2.4);
    EXPECT_NEAR(estimate.leverageRatio(90, 2), 4.488, 5e-4);
    // 26.93 person-months over a month and a half, not over a whole month.
    EXPECT_NEAR(estimate.leverageRatio(45, 1), 17.952, 5e-4);
    EXPECT_EQ(estimate.leverageRatio(0, 1), 0);
    EXPECT_EQ(estimate.leverageRatio(90, 0), 0);
}

TEST(MarketRateEstimate, WorkedExamplesAndWholeLanguageNames) {
    const auto rust = MarketRateEstimate::calculate(10000, 500, "Rust", 150);
    EXPECT_DOUBLE_EQ(rust.languageMultiplier, 1.4);
    EXPECT_NEAR(rust.estimatedHours, 420, 1e-9);
    EXPECT_NEAR(rust.estimatedCost, 63000, 1e-6);
    EXPECT_NEAR(MarketRateEstimate::calculate(5000, 0, std::nullopt, 100).estimatedCost, 10000, 1e-6);
    EXPECT_DOUBLE_EQ(MarketRateEstimate::languageMultiplierFor("C"), 1.3);
    EXPECT_DOUBLE_EQ(MarketRateEstimate::languageMultiplierFor("C Header"), 1.0);
}

} // namespace
} // namespace norvane
