#include "Norvane/pages/TrayBalloon.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"
#include "Norvane/pages/PanelPlacement.h"

namespace norvane::app {
namespace {

constexpr int balloonWidth = 320;
constexpr int gap = 6;
constexpr double balloonCornerRadius = 8.0;

} // namespace

TrayBalloon::TrayBalloon(const QString& title, const QString& body, QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      title_(new StyledLabel(title, Typography::font(TextStyle::headline), Palette::textPrimary())),
      body_(new StyledLabel(body, Typography::font(TextStyle::subheadline), Palette::textSecondary())) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    body_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    const int padding = RoundedPanel::defaultPadding / 2 + 4;
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(4);
    layout->addWidget(title_);
    layout->addWidget(body_);
    setFixedWidth(balloonWidth);
    expiry_.setSingleShot(true);
    expiry_.setInterval(shownMilliseconds);
    connect(&expiry_, &QTimer::timeout, this, &QWidget::close);
}

void TrayBalloon::showNear(const QRect& anchor) {
    adjustSize();
    const QScreen* display =
        anchor.isEmpty() ? QGuiApplication::primaryScreen() : QGuiApplication::screenAt(anchor.center());
    if (!display) display = QGuiApplication::primaryScreen();
    const QRect free = display ? display->availableGeometry() : QRect(QPoint(), size());
    move(PanelPlacement::clearOf(places(anchor, free), size(), applicationWindows()));
    // A window without a compositor has square corners: cut them.
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()), balloonCornerRadius, balloonCornerRadius);
    setMask(QRegion(outline.toFillPolygon().toPolygon()));
    show();
    expiry_.start();
}

std::vector<QPoint> TrayBalloon::places(const QRect& anchor, const QRect& free) const {
    const QPoint topRight = free.topRight() + QPoint(1 - width() - gap, gap);
    const QPoint bottomRight = free.bottomRight() + QPoint(1 - width() - gap, 1 - height() - gap);
    const QPoint bottomLeft = free.bottomLeft() + QPoint(gap, 1 - height() - gap);
    const QPoint topLeft = free.topLeft() + QPoint(gap, gap);
    return {anchor.isEmpty() ? topRight : PanelPlacement::position(anchor, size(), free), topRight, bottomRight,
            bottomLeft, topLeft};
}

std::vector<QRect> TrayBalloon::applicationWindows() const {
    std::vector<QRect> windows;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible()) windows.push_back(window->frameGeometry());
    }
    return windows;
}

QString TrayBalloon::title() const { return title_->text(); }

QString TrayBalloon::body() const { return body_->text(); }

void TrayBalloon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Palette::withOpacity(Palette::textMuted(), 0.5), 1.0));
    painter.setBrush(Palette::backgroundRaised());
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), balloonCornerRadius, balloonCornerRadius);
}

void TrayBalloon::mousePressEvent(QMouseEvent*) { close(); }

} // namespace norvane::app
