#include "Norvane/pages/ProjectTrendsView.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/controls/TimeRangePicker.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "core/collection/CocomoEstimate.h"

namespace norvane::app {
namespace {

using MetricType = MetricsTimelineChartView::MetricType;

struct ChartBlock {
    QString title;
    MetricType metric;
};

const std::array<ChartBlock, 3> chartBlocks{{
    {QStringLiteral("Traditional Cost (COCOMO)"), MetricType::estimatedValue},
    {QStringLiteral("Traditional Time (COCOMO)"), MetricType::effortMonths},
    {QStringLiteral("Traditional Leverage"), MetricType::leverage},
}};

EffortAndCost organicEstimate(std::int64_t lines, double wage, double overhead) {
    const auto estimate = CocomoEstimate::calculate(lines, ProjectType::organic, wage, overhead);
    return {estimate.effortMonths, estimate.estimatedCost};
}

bool sameHistory(const std::vector<TimelineSnapshot>& a, const std::vector<TimelineSnapshot>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.capturedAt == y.capturedAt && x.codeLines == y.codeLines &&
               x.cumulativeEffortMonths == y.cumulativeEffortMonths &&
               x.cumulativeEstimatedCost == y.cumulativeEstimatedCost;
    });
}

} // namespace

ProjectTrendsView::ProjectTrendsView(TimeRange timeRange, QWidget* parent)
    : QWidget(parent), timeRange_(timeRange), picker_(new TimeRangePicker(timeRange)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    auto* header = makeRow(defaultSpacing);
    header->addStretch(1);
    header->addWidget(makeLabel(QStringLiteral("from git history"), TextStyle::caption, Palette::textSecondary()));
    header->addWidget(picker_);
    layout->addLayout(header);
    for (std::size_t index = 0; index < chartBlocks.size(); ++index) {
        blocks_[index] = makeColumn(4);
        blocks_[index]->addWidget(
            makeLabel(chartBlocks[index].title, TextStyle::subheadline, Palette::textSecondary()));
        layout->addLayout(blocks_[index]);
    }
    connect(picker_, &TimeRangePicker::selectionChanged, this, &ProjectTrendsView::timeRangeChanged);
}

MetricsTimelineChartView::Inputs ProjectTrendsView::inputs(MetricType metric) const {
    return {history_, metric, timeRange_, firstCommitDate_, rates_.averageWage, rates_.overhead, 1, 50};
}

void ProjectTrendsView::setHistory(const std::vector<TimelineSnapshot>& history,
                                   std::optional<platform::Date> firstCommitDate, CostRates rates) {
    if (charts_.front() && sameHistory(history, history_) && firstCommitDate == firstCommitDate_ && rates == rates_)
        return;
    history_ = history;
    firstCommitDate_ = firstCommitDate;
    rates_ = rates;
    // A chart prepares its points again only when their number changes; another history of the
    // same length (another project's) takes new charts.
    for (std::size_t index = 0; index < chartBlocks.size(); ++index) {
        delete charts_[index];
        charts_[index] = new MetricsTimelineChartView(inputs(chartBlocks[index].metric), organicEstimate);
        connect(charts_[index], &MetricsTimelineChartView::allTimeRequested, this,
                [this] { emit timeRangeChanged(TimeRange::allTime); });
        blocks_[index]->addWidget(charts_[index]);
    }
}

void ProjectTrendsView::setTimeRange(TimeRange timeRange) {
    timeRange_ = timeRange;
    picker_->setSelection(timeRange);
    for (std::size_t index = 0; index < chartBlocks.size(); ++index) {
        if (charts_[index]) charts_[index]->setInputs(inputs(chartBlocks[index].metric));
    }
}

} // namespace norvane::app
