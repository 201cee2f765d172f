#include "Norvane/components/tiles/HeroMetricCard.h"

#include "Norvane/components/text/GlowText.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace norvane::app {

HeroMetricCard::HeroMetricCard(const HeroMetric& metric, QWidget* parent)
    : QWidget(parent), value_(new GlowText(Typography::systemFont(48, QFont::Bold))),
      label_(new StyledLabel({}, Typography::tracked(Typography::systemFont(12, QFont::DemiBold), 1.5),
                             Palette::textSecondary())),
      deltaRow_(new QWidget), deltaArrow_(new SymbolLabel(QStringLiteral("arrow.up"),
                                                          Typography::pixelSize(TextStyle::caption), Palette::green())),
      deltaText_(new StyledLabel({}, Typography::systemFont(14, QFont::DemiBold), Palette::green())),
      sublabel_(new StyledLabel({}, Typography::font(TextStyle::caption), Palette::textMuted())) {
    // The figure, the change and the sublabel take the card's width and stand in its middle: a
    // longer text never paints into the narrower box of the one before while the layout catches up.
    auto* deltaLayout = new QHBoxLayout(deltaRow_);
    deltaLayout->setContentsMargins(0, 0, 0, 0);
    deltaLayout->setSpacing(4);
    deltaLayout->addStretch(1);
    deltaLayout->addWidget(deltaArrow_);
    deltaLayout->addWidget(deltaText_);
    deltaLayout->addStretch(1);
    sublabel_->setAlignment(Qt::AlignHCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(value_);
    layout->addWidget(label_, 0, Qt::AlignHCenter);
    layout->addWidget(deltaRow_);
    layout->addWidget(sublabel_);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMetric(metric);
}

void HeroMetricCard::setMetric(const HeroMetric& metric) {
    value_->setText(metric.value, valueColor(metric.value), glowColor(metric.value));
    label_->setText(metric.label.toUpper());
    deltaRow_->setVisible(metric.delta.has_value());
    if (metric.delta) {
        const QColor color = deltaColor(metric.delta->value);
        deltaArrow_->setSymbolName(deltaSymbol(metric.delta->value));
        deltaArrow_->setColor(color);
        deltaText_->setText(metric.delta->formatted);
        deltaText_->setColor(color);
    }
    sublabel_->setVisible(metric.sublabel.has_value());
    sublabel_->setText(metric.sublabel.value_or(QString()));
    // Laid out now, not when the page's layout gets to it: a window may draw in between.
    deltaRow_->layout()->activate();
    layout()->activate();
}

QColor HeroMetricCard::valueColor(const QString& value) {
    return isNoValueText(value) ? Palette::textSecondary() : Palette::cyan();
}

QColor HeroMetricCard::glowColor(const QString& value) {
    return isNoValueText(value) ? QColor(Qt::transparent) : Palette::cyan();
}

QString HeroMetricCard::deltaSymbol(double value) {
    return value >= 0.0 ? QStringLiteral("arrow.up") : QStringLiteral("arrow.down");
}

QColor HeroMetricCard::deltaColor(double value) { return value >= 0.0 ? Palette::green() : Palette::red(); }

int HeroMetricCard::fullHeight() {
    const HeroMetricCard full(HeroMetric(QStringLiteral("0"), QStringLiteral("0"),
                                         MetricDelta{1.0, QStringLiteral("0")}, QStringLiteral("0")));
    return full.sizeHint().height();
}

} // namespace norvane::app
