#pragma once

#include "core/analytics/RetentionAssessment.h"

#include <optional>

namespace norvane {

/// A project's recent coding speed against the speed of its first 60 days. Velocities are code
/// lines changed per day that has activity.
struct VelocityRetention {
    std::optional<double> baselineVelocity;
    std::optional<double> currentVelocity;
    std::optional<double> retentionPercent; ///< current / baseline * 100
    RetentionAssessment assessment = RetentionAssessment::tooEarly;

    /// Bands inclusive at their lower end: 70 excellent, 50 good, 35 typical, anything else
    /// (not a number too) below average. Never `tooEarly`.
    static RetentionAssessment classify(double retentionPercent);
    /// No usable baseline yet: every figure absent.
    static VelocityRetention tooEarly();
};

} // namespace norvane
