#pragma once

#include "platform/Date.h"

#include <gtest/gtest.h>

#include <QPointF>
#include <QString>
#include <QStringList>

class QWidget;

namespace norvane::app {
class OceanSegmentedPicker;
}

namespace norvane::testing {

/// Widget tests: one application for the whole run, animations off, the dark theme on.
class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override;
};

/// Shows `widget` at `width` pixels and lets it lay out and paint.
void showAndSettle(QWidget& widget, int width = 640);

/// Whether a visible styled label in `widget` reads `text`.
bool showsText(const QWidget& widget, const QString& text);

/// The visible controls and texts in `window` that are cut off, by the window's edges or by what
/// holds them (a scroll area's viewport), each named by its text or its class.
QStringList partsOutOfView(const QWidget& window);

/// Midnight `days` days before today's midnight, in local time.
platform::Date daysAgo(int days);

/// Moves the pointer over `widget` to `x`, `y` (widget coordinates).
void movePointer(QWidget& widget, double x, double y);
/// Turns the wheel one notch down over `widget` at `at`, as the window system does: a turn the
/// widget leaves goes on to its parents.
void turnWheel(QWidget& widget, QPointF at);
/// The pointer leaves `widget`.
void leave(QWidget& widget);
/// Clicks the middle of segment `index` of `picker`.
void clickSegment(app::OceanSegmentedPicker& picker, int index);

} // namespace norvane::testing
