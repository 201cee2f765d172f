#include "Norvane/components/controls/SectionHeaderButton.h"

#include "Norvane/components/controls/Tween.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QHBoxLayout>
#include <QPainter>

namespace norvane::app {

namespace {

QColor mix(const QColor& from, const QColor& to, double amount) {
    if (amount <= 0.0 || amount >= 1.0) {
        return amount <= 0.0 ? from : to;
    }
    return QColor::fromRgbF(static_cast<float>(from.redF() + (to.redF() - from.redF()) * amount),
                            static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * amount),
                            static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * amount));
}

} // namespace

SectionHeaderButton::SectionHeaderButton(const QString& title, const std::optional<QString>& icon, bool expanded,
                                         QWidget* parent)
    : QAbstractButton(parent),
      title_(new StyledLabel(title.toUpper(), Typography::tracked(Typography::systemFont(11, QFont::DemiBold), 1.2),
                             Palette::textSecondary())),
      chevron_(new SymbolLabel(QStringLiteral("chevron.right"), 10, Palette::textMuted())),
      hover_(new Tween(this, 150, QEasingCurve::InOutQuad, [this](double amount) { showHover(amount); })),
      rotation_(new Tween(
          this, 300, QEasingCurve::OutBack, [this](double degrees) { chevron_->setRotation(degrees); },
          expanded ? 90.0 : 0.0)),
      expanded_(expanded) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(8);
    if (icon) {
        icon_ = new SymbolLabel(*icon, Typography::pixelSize(TextStyle::caption),
                                expanded ? Palette::cyan() : Palette::textMuted());
        layout->addWidget(icon_);
    }
    layout->addWidget(title_);
    layout->addStretch(1);
    layout->addWidget(chevron_);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    chevron_->setRotation(rotation_->value());
}

void SectionHeaderButton::setExpanded(bool expanded) {
    if (expanded == expanded_) {
        return;
    }
    expanded_ = expanded;
    rotation_->setTarget(expanded ? 90.0 : 0.0);
    if (icon_ != nullptr) {
        icon_->setColor(expanded ? Palette::cyan() : Palette::textMuted());
    }
}

double SectionHeaderButton::hoverAmount() const { return hover_->value() * 0.5; }

QSize SectionHeaderButton::sizeHint() const { return layout()->sizeHint(); }

void SectionHeaderButton::paintEvent(QPaintEvent*) {
    if (hover_->value() <= 0.0) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::withOpacity(Palette::backgroundRaised(), hoverAmount()));
    painter.drawRoundedRect(QRectF(rect()), 8.0, 8.0);
}

void SectionHeaderButton::enterEvent(QEnterEvent* event) {
    setHovered(true);
    QAbstractButton::enterEvent(event);
}

void SectionHeaderButton::leaveEvent(QEvent* event) {
    setHovered(false);
    QAbstractButton::leaveEvent(event);
}

void SectionHeaderButton::setHovered(bool hovered) {
    hovered_ = hovered;
    hover_->setTarget(hovered ? 1.0 : 0.0);
}

void SectionHeaderButton::showHover(double amount) {
    title_->setColor(mix(Palette::textSecondary(), Palette::textPrimary(), amount));
    update();
}

} // namespace norvane::app
