#include "Norvane/pages/TrayBalloon.h"

#include <QGuiApplication>
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
constexpr double cornerRadius = 8.0;

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
    move(anchor.isEmpty() ? free.topRight() + QPoint(1 - width() - gap, gap)
                          : PanelPlacement::position(anchor, size(), free));
    // A window without a compositor has square corners: cut them.
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    setMask(QRegion(outline.toFillPolygon().toPolygon()));
    show();
    expiry_.start();
}

QString TrayBalloon::title() const { return title_->text(); }

QString TrayBalloon::body() const { return body_->text(); }

void TrayBalloon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Palette::withOpacity(Palette::textMuted(), 0.5), 1.0));
    painter.setBrush(Palette::backgroundRaised());
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
}

void TrayBalloon::mousePressEvent(QMouseEvent*) { close(); }

} // namespace norvane::app
