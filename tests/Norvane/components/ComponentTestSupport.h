#pragma once

#include "platform/Date.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>

#include <QPointF>
#include <QString>
#include <QStringList>

#include <limits>
#include <vector>

class QApplication;
class QWidget;

namespace norvane::app {
class OceanSegmentedPicker;
}

namespace norvane::testing {

/// American English as the locale of the texts that follow the user's, while it lives.
class AmericanEnglish {
public:
    AmericanEnglish() { setDefault(icu::Locale::getUS()); }
    ~AmericanEnglish() { setDefault(previous_); }
    AmericanEnglish(const AmericanEnglish&) = delete;
    AmericanEnglish& operator=(const AmericanEnglish&) = delete;

private:
    static void setDefault(const icu::Locale& locale) {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(locale, status);
    }

    icu::Locale previous_ = icu::Locale::getDefault();
};

/// A figure that is not known, as the cards take it.
inline constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

/// The test program's application in the dark theme, applied once.
QApplication& themedApplication();

/// Widget tests: one application for the whole run, animations off, the dark theme on.
class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override;
};

/// Shows `widget` at `width` pixels and lets it lay out and paint.
void showAndSettle(QWidget& widget, int width = 640);

/// Whether a visible label in `widget`, a wrapped one too, reads `text`.
bool showsText(const QWidget& widget, const QString& text);

/// The visible controls and texts in `window` that are cut off: by the window's edges, by what
/// holds them (a scroll area's viewport) or, wrapped in an ElidedLabel, by a label too short for
/// their lines; each named by its text or its class.
QStringList partsOutOfView(const QWidget& window);

/// Midnight `days` days before today's midnight, in local time.
platform::Date daysAgo(int days);

/// This moment, `days` days ago.
platform::Date momentDaysAgo(int days);

/// Moves the pointer over `widget` to `x`, `y` (widget coordinates).
void movePointer(QWidget& widget, double x, double y);
/// Turns the wheel one notch down over `widget` at `at`, as the window system does: a turn the
/// widget leaves goes on to its parents.
void turnWheel(QWidget& widget, QPointF at);
/// The pointer leaves `widget`.
void leave(QWidget& widget);
/// Clicks the middle of segment `index` of `picker`.
void clickSegment(app::OceanSegmentedPicker& picker, int index);

/// A widget that Tab gave the focus to, and whether the focus ring stood around it then.
struct TabStop {
    QWidget* widget;
    bool marked;
};
/// Presses Tab in the active window, from the widget that has the focus (or from its first
/// control), until the focus comes back there: the widgets it went through, the last one being
/// where it started.
std::vector<TabStop> tabAround();
/// The controls a user acts on in `window` (buttons, fields, pickers, lists, tabs) that are shown
/// and enabled but that Tab does not reach from the focus, or reaches without the focus ring
/// around them, each by its text or class.
QStringList keyboardGaps(QWidget& window);
/// Presses `key` where the focus is, as the keyboard does.
void pressKey(int key);
/// Presses Tab until `widget` has the focus; false when it comes round without reaching it.
bool tabTo(const QWidget& widget);
/// Whether the window's picture shows the focus ring's colour just outside `widget`'s left and
/// right edges.
bool ringDrawnAround(QWidget& widget);
/// The control that has the focus is `control`, with the ring around it.
void expectFocusedAndMarked(const QWidget& control);

} // namespace norvane::testing
