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

TEST(RetentionAssessment, TooEarlySaysWhatIsMissing) {
    EXPECT_EQ(message(VelocityRetention::tooEarly().assessment),
              "Baseline not yet established (need 60+ days of history).");
}

} // namespace
} // namespace norvane
