#include "Norvane/components/tiles/HeroZoneView.h"

#include "Norvane/components/charts/SparklineView.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"
#include "Norvane/components/tiles/CardGlow.h"
#include "Norvane/components/tiles/HeroMetricCard.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace norvane::app {

namespace {

constexpr int heroCornerRadius = 16;

QWidget* verticalRule() {
    auto* rule = new QWidget;
    rule->setFixedSize(1, 100);
    rule->setAutoFillBackground(true);
    QPalette palette = rule->palette();
    palette.setColor(QPalette::Window, Palette::withOpacity(Palette::cyan(), 0.2));
    rule->setPalette(palette);
    return rule;
}

} // namespace

HeroZoneView::HeroZoneView(const HeroMetric& primaryMetric, const HeroMetric& secondaryMetric,
                           std::vector<double> sparklineData, QWidget* primaryFooter, QWidget* parent)
    : QWidget(parent), primary_(new HeroMetricCard(primaryMetric)), secondary_(new HeroMetricCard(secondaryMetric)),
      sparklineSection_(new QWidget), sparkline_(new SparklineView({}, Palette::cyan(), true)) {
    auto* primaryColumn = new QVBoxLayout;
    primaryColumn->setSpacing(8);
    primaryColumn->addWidget(primary_);
    // The row is as tall as a figure with all its lines (and the footer under it), and the figures
    // stand at its top: a change or a sublabel that comes later fills room kept for it and moves
    // nothing, the footer included, which stands at the row's foot.
    int rowHeight = HeroMetricCard::fullHeight();
    if (primaryFooter != nullptr) {
        primaryColumn->addStretch(1);
        primaryColumn->addWidget(primaryFooter, 0, Qt::AlignHCenter);
        rowHeight += primaryColumn->spacing() + primaryFooter->sizeHint().height();
    }
    auto* metrics = new QHBoxLayout;
    metrics->setSpacing(24);
    metrics->addLayout(primaryColumn, 1);
    if (primaryFooter == nullptr) metrics->setAlignment(primaryColumn, Qt::AlignTop);
    metrics->addWidget(verticalRule(), 0, Qt::AlignVCenter);
    metrics->addWidget(secondary_, 1, Qt::AlignTop);
    metrics->addStrut(rowHeight);

    auto* sparklineLayout = new QVBoxLayout(sparklineSection_);
    sparklineLayout->setContentsMargins(0, 0, 0, 0);
    sparklineLayout->setSpacing(4);
    sparkline_->setFixedHeight(40);
    sparklineLayout->addWidget(sparkline_);
    sparklineLayout->addWidget(new StyledLabel(QStringLiteral("14-day trend"), Typography::font(TextStyle::caption2),
                                               Palette::textSecondary()),
                               0, Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);
    layout->addLayout(metrics);
    layout->addWidget(sparklineSection_);

    CardGlow::attach(*this, {Palette::withOpacity(Palette::cyan(), 0.2), 20, heroCornerRadius, QPoint(0, 4)});
    setSparklineData(std::move(sparklineData));
}

void HeroZoneView::setMetrics(const HeroMetric& primaryMetric, const HeroMetric& secondaryMetric) {
    primary_->setMetric(primaryMetric);
    secondary_->setMetric(secondaryMetric);
}

void HeroZoneView::setSparklineData(std::vector<double> sparklineData) {
    sparkline_->setSeries(std::move(sparklineData));
    showSparklineSection();
}

void HeroZoneView::setSparklinePending(bool pending) {
    sparklinePending_ = pending;
    showSparklineSection();
}

void HeroZoneView::showSparklineSection() {
    QSizePolicy policy = sparklineSection_->sizePolicy();
    policy.setRetainSizeWhenHidden(sparklinePending_);
    sparklineSection_->setSizePolicy(policy);
    sparklineSection_->setVisible(!sparkline_->series().empty());
}

void HeroZoneView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setBrush(Palette::backgroundBase());
    painter.setPen(QPen(QBrush(Palette::accentGradient()), 1.0));
    painter.drawRoundedRect(card, heroCornerRadius, heroCornerRadius);
}

} // namespace norvane::app
