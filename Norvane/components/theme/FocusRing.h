#pragma once

#include <QFocusFrame>

class QApplication;

namespace norvane::app {

/// The mark of the keyboard focus: a cyan ring just outside the edge of the control that has the
/// focus, the same on every control, whatever the control paints itself (the fill of a prominent
/// button hides the style's own mark). It marks every control that keys act on, unless a click
/// put the focus there in a window where the keyboard has not moved it yet.
class FocusRing : public QFocusFrame {
    Q_OBJECT
public:
    /// The ring's width and its gap to the control, outside the control's rectangle.
    static constexpr int margin = 3;

    /// From now on one ring follows the focus through every window of `application`.
    static void follow(QApplication& application);
    /// The ring around `widget`, when it has one.
    static const FocusRing* around(const QWidget& widget);
    /// Puts the keyboard focus on `window` itself, where no key acts: a window that opens, or opens
    /// again long after, starts with no control focused, rather than with one that the window picks
    /// or kept and that Space or Return would act on. Tab then starts at its first control.
    static void restFocus(QWidget& window);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FocusRing();
};

} // namespace norvane::app
