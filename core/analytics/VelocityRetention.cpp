#include "core/analytics/VelocityRetention.h"

namespace norvane {

RetentionAssessment VelocityRetention::classify(double retentionPercent) {
    // Every comparison with NaN is false, so NaN falls through to below average.
    if (retentionPercent >= 70.0) return RetentionAssessment::excellent;
    if (retentionPercent >= 50.0) return RetentionAssessment::good;
    if (retentionPercent >= 35.0) return RetentionAssessment::typical;
    return RetentionAssessment::belowAverage;
}

VelocityRetention VelocityRetention::tooEarly() {
    return {std::nullopt, std::nullopt, std::nullopt, RetentionAssessment::tooEarly};
}

} // namespace norvane
