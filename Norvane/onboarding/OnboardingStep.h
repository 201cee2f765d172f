#pragma once

#include <optional>

namespace norvane::app {

/// The first-run wizard's steps, in the order it shows them.
enum class OnboardingStep { welcome = 0, dependencies, cliInstall, addProject, scheduling, dataCollection, completion };

inline constexpr int onboardingStepCount = 7;

/// The step of a raw value; none outside 0 to 6.
inline std::optional<OnboardingStep> onboardingStep(int rawValue) {
    if (rawValue < 0 || rawValue >= onboardingStepCount) return std::nullopt;
    return OnboardingStep(rawValue);
}

} // namespace norvane::app
