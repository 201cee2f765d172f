#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace norvane::app {

class AppState;

/// The first-run wizard's pictures: every step, and the states a user meets in it, staged over
/// `window` in the temporary home. The tools are found at fixed places only, and the password
/// dialog and systemctl answer with failures, so staging changes nothing outside the home.
namespace OnboardingScreenshots {

void stage(AppState& appState, QWidget& window, const std::function<void(const QString& name, QWidget& widget)>& take);

} // namespace OnboardingScreenshots
} // namespace norvane::app
