#pragma once

#include <QObject>
#include <QSize>

class QScrollArea;
class QWidget;

namespace norvane::app {

/// Makes a window of a fixed size as tall as what a scroll area in it holds, up to the screen's
/// height and never below its usual height, so that nothing there waits behind a scroll bar, and
/// gives the height back once the content no longer needs it. The window is fitted again whenever
/// the content's layout has settled anew: a row, a message or a longer text came or went.
class WindowHeightFit : public QObject {
    Q_OBJECT
public:
    /// `usual`: the window's width and least height.
    WindowHeightFit(QWidget& window, QSize usual, QScrollArea& area);

    /// Follows `content`, which the area now shows.
    void follow(QWidget& content);
    /// Fits the window to the content now.
    void fit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// How much taller the content is than the room the area has: negative while there is room.
    int overflow() const;

    QWidget& window_;
    QSize usual_;
    QScrollArea& area_;
};

} // namespace norvane::app
