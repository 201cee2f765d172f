#pragma once

#include "Norvane/pages/DashboardView.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>

namespace norvane::app {

/// The application's main window once it exists, else null.
inline DashboardView* mainWindow() {
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<DashboardView*>(widget)) return window;
    }
    return nullptr;
}

/// Runs the event loop until `done` holds; returns the longest single turn in milliseconds, or a
/// negative number when `done` did not come within 30 s.
template <typename Done>
double runUntil(Done done) {
    constexpr int timeoutMilliseconds = 30'000;
    QElapsedTimer clock;
    clock.start();
    double longest = 0;
    while (!done()) {
        if (clock.elapsed() > timeoutMilliseconds) return -1;
        QElapsedTimer turn;
        turn.start();
        QApplication::processEvents();
        longest = std::max(longest, static_cast<double>(turn.nsecsElapsed()) / 1e6);
    }
    return longest;
}

} // namespace norvane::app
