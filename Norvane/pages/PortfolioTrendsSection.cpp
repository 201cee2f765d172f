#include "Norvane/pages/PortfolioTrendsSection.h"

#include <QVBoxLayout>

#include "Norvane/cards/PeriodComparisonsCard.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/controls/TimeRangePicker.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"

namespace norvane::app {
namespace {

std::vector<LeveragePoint> chartPoints(const std::vector<MetricsSource::LeveragePoint>& series) {
    std::vector<LeveragePoint> points;
    points.reserve(series.size());
    for (const auto& point : series) points.push_back({point.date, point.leverage});
    return points;
}

} // namespace

PortfolioTrendsSection::PortfolioTrendsSection(TimeRange range,
                                               const std::vector<MetricsSource::LeveragePoint>& leverage,
                                               const std::optional<PortfolioMetrics>& metrics, bool metricsPending,
                                               QWidget* parent)
    : QWidget(parent), layout_(makeColumn(16)), picker_(new TimeRangePicker(range)),
      chart_(new RollingLeverageChartView(chartPoints(leverage), range, Palette::blue())) {
    setLayout(layout_);
    auto* chartStack = makeColumn(8);
    chartStack->setContentsMargins(0, 8, 0, 0);
    auto* header = makeRow(defaultSpacing);
    header->addWidget(
        makeLabel(QStringLiteral("Traditional Leverage Trend"), TextStyle::headline, Palette::textPrimary()));
    header->addStretch(1);
    header->addWidget(picker_);
    chartStack->addLayout(header);
    chartStack->addWidget(chart_);
    layout_->addLayout(chartStack);
    connect(picker_, &TimeRangePicker::selectionChanged, this, [this](TimeRange chosen) {
        chart_->setTimeRange(chosen);
        emit timeRangeChanged(chosen);
    });
    connect(chart_, &RollingLeverageChartView::allTimeRequested, this, [this] {
        setTimeRange(TimeRange::allTime);
        emit timeRangeChanged(TimeRange::allTime);
    });
    setMetrics(metrics, metricsPending);
}

void PortfolioTrendsSection::setLeverage(const std::vector<MetricsSource::LeveragePoint>& leverage) {
    chart_->setData(chartPoints(leverage));
}

void PortfolioTrendsSection::setTimeRange(TimeRange range) {
    picker_->setSelection(range);
    chart_->setTimeRange(range);
}

void PortfolioTrendsSection::setActivity(bool hasHistory, std::size_t activeDays) {
    chart_->setActivity(hasHistory, activeDays);
}

void PortfolioTrendsSection::setMetrics(const std::optional<PortfolioMetrics>& metrics, bool pending) {
    if (!metrics && !pending) {
        delete comparisons_;
        comparisons_ = nullptr;
        return;
    }
    if (!comparisons_) {
        comparisons_ = new PeriodComparisonsCard(metrics.value_or(PeriodComparisonsCard::roomOfFigures()));
        QSizePolicy policy = comparisons_->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        comparisons_->setSizePolicy(policy);
        layout_->addWidget(comparisons_);
    } else if (metrics) {
        comparisons_->setMetrics(*metrics);
    }
    comparisons_->setVisible(metrics.has_value());
}

} // namespace norvane::app
