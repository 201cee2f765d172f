#pragma once

#include "Norvane/components/charts/MetricsTimelineChartView.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/ProjectDetailView.h"
#include "Norvane/pages/ProjectTrendsView.h"
#include "Norvane/pages/Sidebar.h"

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

/// The window's project page shows `project`'s values and its charts, which are drawn prepared.
inline bool isProjectPageDrawn(const DashboardView& window, const platform::Uuid& project) {
    const auto* page = window.findChild<ProjectDetailView*>();
    if (!page || page->project().id != project || !page->isLoaded() || !page->trends()) return false;
    const auto& charts = page->trends()->charts();
    return std::all_of(charts.begin(), charts.end(), [](const auto* chart) { return chart != nullptr; });
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

/// Chooses `selection` in the window's sidebar, runs the event loop until `isDrawn` holds, then
/// draws the window. Returns the longest time the GUI thread was busy at once in all that, in
/// milliseconds, or a negative number when the page was not ready in time.
template <typename IsDrawn>
double longestBlockChoosing(DashboardView& window, const SidebarSelection& selection, IsDrawn isDrawn) {
    QElapsedTimer choosing;
    choosing.start();
    window.sidebar().setSelection(selection);
    const double chosen = static_cast<double>(choosing.nsecsElapsed()) / 1e6;
    const double turns = runUntil(isDrawn);
    if (turns < 0) return -1;
    QElapsedTimer drawing;
    drawing.start();
    static_cast<void>(window.grab());
    return std::max({chosen, turns, static_cast<double>(drawing.nsecsElapsed()) / 1e6});
}

} // namespace norvane::app
