#include "Norvane/pages/ErrorBanner.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/components/theme/Typography.h"

namespace norvane::app {
namespace {

constexpr double bannerCornerRadius = 8.0;

} // namespace

ErrorBanner::ErrorBanner(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addWidget(new SymbolLabel(QStringLiteral("exclamationmark.triangle.fill"), 16, Palette::amber()), 0,
                      Qt::AlignTop);
    label_ = new ElidedLabel(Typography::font(TextStyle::body), Palette::textPrimary(), ElidedLabel::everyLine);
    layout->addWidget(label_, 1);
    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("closeBanner"));
    close->setAutoRaise(true);
    close->setFont(SymbolRegistry::font(16));
    close->setText(SymbolRegistry::text(QStringLiteral("xmark.circle.fill")));
    close->setStyleSheet(QStringLiteral("color: %1; border: none;").arg(Palette::textMuted().name()));
    connect(close, &QToolButton::clicked, this, &ErrorBanner::closeRequested);
    layout->addWidget(close, 0, Qt::AlignTop);
}

void ErrorBanner::setMessage(const QString& message) { label_->setText(message); }

QString ErrorBanner::message() const { return label_->text(); }

QStringList ErrorBanner::shownLines() const { return label_->shownLines(); }

void ErrorBanner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), bannerCornerRadius, bannerCornerRadius);
    painter.fillPath(shape, Palette::backgroundRaised());
    painter.setPen(QPen(Palette::withOpacity(Palette::amber(), 0.3), 1.0));
    painter.drawPath(shape);
}

} // namespace norvane::app
