#pragma once

#include <QTimer>
#include <QWidget>

#include <vector>

namespace norvane::app {

class StyledLabel;

/// A notification beside the tray icon, for desktops without a notification service: the title
/// over the body on the dark theme's raised card, gone after a while or at a click. It never takes
/// the focus.
class TrayBalloon : public QWidget {
    Q_OBJECT
public:
    static constexpr int shownMilliseconds = 10'000;

    TrayBalloon(const QString& title, const QString& body, QWidget* parent = nullptr);

    /// Shows it for `shownMilliseconds` by the tray icon at `anchor` (screen coordinates), where the
    /// menu-bar panel would open, or in the top right corner of the screen when the icon's place
    /// is unknown (an empty rectangle); where that would cover a window of the application, in the
    /// first corner of the screen that covers none (or the least) of them.
    void showNear(const QRect& anchor);

    QString title() const;
    QString body() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    /// Where it may stand, in order of preference.
    std::vector<QPoint> places(const QRect& anchor, const QRect& free) const;
    std::vector<QRect> applicationWindows() const;

    StyledLabel* title_;
    StyledLabel* body_;
    QTimer expiry_;
};

} // namespace norvane::app
