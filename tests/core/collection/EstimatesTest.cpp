#include "core/collection/CocomoEstimate.h"
#include "core/collection/MarketRateEstimate.h"

#include <gtest/gtest.h>

#include <cmath>

namespace norvane {
namespace {

TEST(CocomoEstimate, ThousandOrganicLines) {
    const auto estimate = CocomoEstimate::calculate(1000, ProjectType::organic, 150000, 2.4);
    EXPECT_EQ(estimate.sloc, 1000);
    EXPECT_NEAR(estimate.effortMonths, 2.4, 1e-9);
    EXPECT_NEAR(estimate.scheduleMonths, 3.4867, 5e-5);
    EXPECT_NEAR(estimate.estimatedPeople, 0.6883, 5e-5);
    EXPECT_NEAR(estimate.estimatedCost, 72000, 1e-6);
}

TEST(CocomoEstimate, TenThousandLinesInEachMode) {
    const auto organic = CocomoEstimate::calculate(10000, ProjectType::organic, 150000, 2.4);
    EXPECT_NEAR(organic.effortMonths, 26.9284, 5e-5);
    EXPECT_NEAR(organic.scheduleMonths, 8.7382, 5e-5);
    EXPECT_NEAR(organic.estimatedPeople, 3.0817, 5e-5);
    EXPECT_NEAR(organic.estimatedCost, 807853.29, 5e-3);
    const auto semiDetached = CocomoEstimate::calculate(10000, ProjectType::semiDetached, 150000, 2.4);
    EXPECT_NEAR(semiDetached.effortMonths, 39.5477, 5e-5);
    EXPECT_NEAR(semiDetached.scheduleMonths, 9.0559, 5e-5);
    const auto embedded = CocomoEstimate::calculate(10000, ProjectType::embedded, 150000, 2.4);
    EXPECT_NEAR(embedded.effortMonths, 57.0562, 5e-5);
    EXPECT_NEAR(embedded.scheduleMonths, 9.1192, 5e-5);
}

TEST(CocomoEstimate, NoLinesGiveZeroNotNaN) {
    for (const int64_t lines : {int64_t{0}, int64_t{-500}}) {
        const auto estimate = CocomoEstimate::calculate(lines, ProjectType::embedded, 150000, 2.4);
        EXPECT_EQ(estimate.sloc, lines);
        EXPECT_EQ(estimate.effortMonths, 0);
        EXPECT_EQ(estimate.scheduleMonths, 0);
        EXPECT_EQ(estimate.estimatedPeople, 0);
        EXPECT_EQ(estimate.estimatedCost, 0);
    }
}

TEST(CocomoEstimate, LeverageRatio) {
    const auto estimate = CocomoEstimate::calculate(10000, ProjectType::organic, 150000, 2.4);
    EXPECT_NEAR(estimate.leverageRatio(90, 1), 8.976, 5e-4);
    EXPECT_NEAR(estimate.leverageRatio(90, 2), 4.488, 5e-4);
    EXPECT_EQ(estimate.leverageRatio(0, 1), 0);
    EXPECT_EQ(estimate.leverageRatio(-30, 1), 0);
    EXPECT_EQ(estimate.leverageRatio(90, 0), 0);
}

TEST(MarketRateEstimate, WorkedExamples) {
    const auto rust = MarketRateEstimate::calculate(10000, 500, "Rust", 150);
    EXPECT_DOUBLE_EQ(rust.languageMultiplier, 1.4);
    EXPECT_NEAR(rust.estimatedHours, 420, 1e-9);
    EXPECT_NEAR(rust.estimatedCost, 63000, 1e-6);
    EXPECT_EQ(rust.codeLines, 10000);
    EXPECT_EQ(rust.complexity, 500);
    EXPECT_EQ(rust.hourlyRate, 150);
    const auto plain = MarketRateEstimate::calculate(5000, 0, std::nullopt, 100);
    EXPECT_DOUBLE_EQ(plain.languageMultiplier, 1.0);
    EXPECT_NEAR(plain.estimatedHours, 100, 1e-9);
    EXPECT_NEAR(plain.estimatedCost, 10000, 1e-6);
}

TEST(MarketRateEstimate, LanguageMultiplierMatchesWholeNames) {
    EXPECT_DOUBLE_EQ(MarketRateEstimate::languageMultiplierFor("C"), 1.3);
    EXPECT_DOUBLE_EQ(MarketRateEstimate::languageMultiplierFor("C Header"), 1.0);
    EXPECT_DOUBLE_EQ(MarketRateEstimate::languageMultiplierFor("Objective C"), 1.0);
    EXPECT_DOUBLE_EQ(MarketRateEstimate::languageMultiplierFor(""), 1.0);
    EXPECT_DOUBLE_EQ(MarketRateEstimate::languageMultiplierFor(std::nullopt), 1.0);
}

} // namespace
} // namespace norvane
