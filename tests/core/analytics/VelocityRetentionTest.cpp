#include "core/analytics/VelocityRetention.h"

#include <gtest/gtest.h>

#include <cmath>

namespace norvane {
namespace {

TEST(VelocityRetention, BandsIncludeTheirLowerBound) {
    EXPECT_EQ(VelocityRetention::classify(70.0), RetentionAssessment::excellent);
    EXPECT_EQ(VelocityRetention::classify(250.0), RetentionAssessment::excellent);
    EXPECT_EQ(VelocityRetention::classify(69.999), RetentionAssessment::good);
    EXPECT_EQ(VelocityRetention::classify(50.0), RetentionAssessment::good);
    EXPECT_EQ(VelocityRetention::classify(49.99), RetentionAssessment::typical);
    EXPECT_EQ(VelocityRetention::classify(35.0), RetentionAssessment::typical);
    EXPECT_EQ(VelocityRetention::classify(34.99), RetentionAssessment::belowAverage);
    EXPECT_EQ(VelocityRetention::classify(0.0), RetentionAssessment::belowAverage);
    EXPECT_EQ(VelocityRetention::classify(std::nan("")), RetentionAssessment::belowAverage);
}

TEST(VelocityRetention, TooEarlyHasNoFigures) {
    const auto retention = VelocityRetention::tooEarly();
    EXPECT_FALSE(retention.baselineVelocity);
    EXPECT_FALSE(retention.currentVelocity);
    EXPECT_FALSE(retention.retentionPercent);
    EXPECT_EQ(retention.assessment, RetentionAssessment::tooEarly);
    EXPECT_EQ(message(retention.assessment), "Baseline not yet established (need 60+ days of history).");
}

TEST(RetentionAssessment, TextsAndRawValues) {
    EXPECT_EQ(platform::fromRawValue<RetentionAssessment>("Below Average"), RetentionAssessment::belowAverage);
    EXPECT_FALSE(platform::fromRawValue<RetentionAssessment>("below average"));
    EXPECT_EQ(platform::rawValue(RetentionAssessment::tooEarly), "Too Early");
    EXPECT_EQ(message(RetentionAssessment::good), "Your architecture is scaling well.");
    EXPECT_EQ(iconName(RetentionAssessment::excellent), "star.fill");
    EXPECT_EQ(iconName(RetentionAssessment::belowAverage), "exclamationmark.triangle.fill");
}

} // namespace
} // namespace norvane
