#include "Norvane/components/tiles/SummaryStatCard.h"

#include "Norvane/components/controls/Tween.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace norvane::app {

SummaryStatCard::SummaryStatCard(const SummaryStat& stat, QWidget* parent)
    : QWidget(parent), id_(stat.id),
      value_(new StyledLabel({}, Typography::systemFont(22, QFont::Bold), Palette::textPrimary())),
      trendRow_(new QWidget), trendArrow_(new SymbolLabel(QStringLiteral("arrow.up"), 9, Palette::green())),
      trendText_(new StyledLabel({}, Typography::systemFont(10, QFont::Medium), Palette::green())),
      label_(new StyledLabel({}, Typography::font(TextStyle::caption), Palette::textSecondary())),
      sublabel_(new StyledLabel({}, Typography::font(TextStyle::caption2),
                                Palette::withOpacity(Palette::textSecondary(), 0.8))),
      hover_(new Tween(this, 150, QEasingCurve::InOutQuad, [this](double) { update(); })) {
    auto* trendLayout = new QHBoxLayout(trendRow_);
    trendLayout->setContentsMargins(0, 0, 0, 0);
    trendLayout->setSpacing(2);
    trendLayout->addWidget(trendArrow_);
    trendLayout->addWidget(trendText_);
    auto* figure = new QHBoxLayout;
    figure->setSpacing(4);
    figure->addWidget(value_);
    figure->addWidget(trendRow_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 14, 8, 14);
    layout->setSpacing(6);
    layout->addLayout(figure);
    layout->setAlignment(figure, Qt::AlignHCenter);
    layout->addWidget(label_, 0, Qt::AlignHCenter);
    layout->addWidget(sublabel_, 0, Qt::AlignHCenter);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setStat(stat);
}

void SummaryStatCard::setStat(const SummaryStat& stat) {
    id_ = stat.id;
    value_->setText(stat.value);
    value_->setColor(valueColor(stat.value));
    const auto trend = stat.trend ? stat.trend->shown() : std::nullopt;
    trendRow_->setVisible(trend.has_value());
    if (trend) {
        trendArrow_->setSymbolName(trend->symbol);
        trendArrow_->setColor(trend->color);
        trendText_->setText(trend->text);
        trendText_->setColor(trend->color);
    }
    label_->setText(stat.label);
    sublabel_->setVisible(stat.sublabel.has_value());
    sublabel_->setText(stat.sublabel.value_or(QString()));
    setToolTip(stat.tooltip.value_or(QString()));
    // The card is wider than its figures: laid out now, a longer figure never draws in the box of
    // the shorter one before while the page's layout catches up.
    layout()->activate();
}

QColor SummaryStatCard::valueColor(const QString& value) {
    return isNoValueText(value) ? Palette::textSecondary() : Palette::textPrimary();
}

QColor SummaryStatCard::fillColor() const {
    return Palette::blend(Palette::withOpacity(Palette::backgroundBase(), 0.6), Palette::backgroundRaised(),
                          hover_->value());
}

QColor SummaryStatCard::borderColor() const {
    return Palette::withOpacity(Palette::cyan(), hover_->value() >= 1.0 ? 0.2 : 0.1 + 0.1 * hover_->value());
}

void SummaryStatCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(fillColor());
    painter.setPen(QPen(borderColor(), 1.0));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12.0, 12.0);
}

void SummaryStatCard::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    hover_->setTarget(1.0);
    QWidget::enterEvent(event);
}

void SummaryStatCard::leaveEvent(QEvent* event) {
    hovered_ = false;
    hover_->setTarget(0.0);
    QWidget::leaveEvent(event);
}

} // namespace norvane::app
