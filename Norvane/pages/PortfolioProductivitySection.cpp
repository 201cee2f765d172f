#include "Norvane/pages/PortfolioProductivitySection.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "Norvane/cards/FocusIndicator.h"
#include "Norvane/cards/PersonalBestsCard.h"
#include "Norvane/cards/WorkPatternsCard.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/charts/DailyThroughputChartView.h"
#include "Norvane/components/charts/ProjectActivityOverlapView.h"
#include "Norvane/components/controls/BusyIndicator.h"
#include "Norvane/components/controls/InfoTooltipButton.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/tiles/CapacityStatView.h"
#include "Norvane/components/tiles/ChurnIndicator.h"
#include "Norvane/components/tiles/ParallelismStatView.h"
#include "Norvane/components/tiles/TileFrame.h"
#include "Norvane/pages/PortfolioFigures.h"

namespace norvane::app {
namespace {

constexpr int loadingIndicatorSize = 14;

TileFrame* throughputTile(double throughput) {
    auto* tile = new TileFrame;
    tile->contentLayout()->setSpacing(4);
    tile->contentLayout()->addWidget(
        makeLabel(formatFixed(throughput, 2), TextStyle::title2, Palette::textPrimary(), QFont::DemiBold), 0,
        Qt::AlignHCenter);
    auto* caption = makeRow(4);
    caption->addWidget(makeLabel(QStringLiteral("mo/day"), TextStyle::caption, Palette::textSecondary()));
    caption->addWidget(new InfoTooltipButton(MetricTooltip::dailyThroughput));
    tile->contentLayout()->addLayout(caption);
    tile->contentLayout()->setAlignment(caption, Qt::AlignHCenter);
    return tile;
}

QVBoxLayout* labelled(const QString& title, QWidget* chart) {
    auto* column = makeColumn(4);
    column->addWidget(makeLabel(title, TextStyle::subheadline, Palette::textSecondary()));
    column->addWidget(chart);
    return column;
}

} // namespace

PortfolioProductivitySection::PortfolioProductivitySection(const PortfolioState& state,
                                                           const std::optional<PortfolioMetrics>& metrics,
                                                           QWidget* parent)
    : QWidget(parent), tiles_(new QWidget), tilesLayout_(makeRow(12)), cards_(makeColumn(16)),
      cardsArea_(wrap(cards_)) {
    auto* layout = makeColumn(16);
    setLayout(layout);
    tiles_->setLayout(tilesLayout_);
    auto* overview = makeColumn(16);
    overview->addWidget(makeHeader());
    overview->addWidget(tiles_);
    overview->addWidget(makeCharts(state));
    layout->addLayout(overview);
    layout->addWidget(cardsArea_);
    setMetrics(metrics);
    setLoading(state.isLoadingMetrics);
    showPatterns(state);
}

QWidget* PortfolioProductivitySection::makeHeader() {
    auto* header = makeRow(defaultSpacing);
    header->addWidget(makeLabel(QStringLiteral("Productivity Over Time"), TextStyle::headline, Palette::textPrimary()));
    header->addStretch(1);
    loading_ = new BusyIndicator(loadingIndicatorSize);
    header->addWidget(loading_);
    return wrap(header);
}

QWidget* PortfolioProductivitySection::makeCharts(const PortfolioState& state) {
    throughput_ = new DailyThroughputChartView(state.throughputData, state.selectedTimeRange);
    overlap_ = new ProjectActivityOverlapView(state.parallelismData, state.selectedTimeRange);
    throughput_->setHasHistory(state.hasHistory);
    overlap_->setHasHistory(state.hasHistory);
    connect(throughput_, &DailyThroughputChartView::allTimeRequested, this,
            [this] { emit timeRangeRequested(TimeRange::allTime, throughput_); });
    connect(overlap_, &ProjectActivityOverlapView::allTimeRequested, this,
            [this] { emit timeRangeRequested(TimeRange::allTime, overlap_); });
    auto* charts = makeColumn(16);
    charts->addLayout(labelled(QStringLiteral("Daily Throughput (COCOMO months)"), throughput_));
    charts->addLayout(labelled(QStringLiteral("Project Activity Overlap"), overlap_));
    return wrap(charts);
}

void PortfolioProductivitySection::setMetrics(const std::optional<PortfolioMetrics>& metrics) {
    clearLayout(tilesLayout_);
    tiles_->setVisible(metrics.has_value());
    if (metrics) {
        for (QWidget* tile : std::initializer_list<QWidget*>{
                 throughputTile(metrics->dailyThroughput),
                 new ParallelismStatView(metrics->parallelismFactor, MetricTooltip::parallelism),
                 new CapacityStatView(metrics->capacityUtilization, MetricTooltip::capacityUtilization),
                 new ChurnIndicator(metrics->churnRatio, metrics->netGrowthRate, metrics->recentInsertions,
                                    metrics->recentDeletions),
                 new FocusIndicator(metrics->focusIndex, metrics->activeProjectsInWindow, metrics->projectShares)}) {
            tilesLayout_->addWidget(tile, 1);
        }
    }
    if (metrics && bests_) {
        bests_->setMetrics(*metrics);
    } else if (metrics) {
        bests_ = new PersonalBestsCard(*metrics);
        cards_->insertWidget(0, bests_);
    } else {
        delete bests_;
        bests_ = nullptr;
    }
}

void PortfolioProductivitySection::setLoading(bool loading) { loading_->setVisible(loading); }

void PortfolioProductivitySection::setSeries(const PortfolioState& state) {
    throughput_->setTimeRange(state.selectedTimeRange);
    throughput_->setHasHistory(state.hasHistory);
    throughput_->setData(state.throughputData);
    overlap_->setTimeRange(state.selectedTimeRange);
    overlap_->setHasHistory(state.hasHistory);
    overlap_->setData(state.parallelismData);
    showPatterns(state);
}

void PortfolioProductivitySection::showPatterns(const PortfolioState& state) {
    // The patterns card draws its value once: a new one stands in for it.
    delete patterns_;
    patterns_ = nullptr;
    if (!state.workPatterns) return;
    std::optional<WorkPatternsCard::QuietWindow> quiet;
    if (state.hasHistory) {
        quiet = {PortfolioFigures::days(state.selectedTimeRange), state.selectedTimeRange != TimeRange::allTime};
    }
    patterns_ = new WorkPatternsCard(*state.workPatterns, quiet);
    // The card is made anew with the new range's patterns; what holds it stays.
    connect(patterns_, &WorkPatternsCard::allTimeRequested, this,
            [this] { emit timeRangeRequested(TimeRange::allTime, cardsArea_); });
    cards_->addWidget(patterns_);
}

} // namespace norvane::app
