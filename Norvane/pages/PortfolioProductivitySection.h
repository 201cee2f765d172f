#pragma once

#include <optional>

#include <QWidget>

#include "Norvane/pages/PortfolioState.h"
#include "core/analytics/PortfolioMetrics.h"

class QHBoxLayout;
class QVBoxLayout;

namespace norvane::app {

class BusyIndicator;
class DailyThroughputChartView;
class PersonalBestsCard;
class ProjectActivityOverlapView;
class WorkPatternsCard;

/// The "Productivity" section of the portfolio page: the five figure tiles while there are
/// metrics, the daily throughput and the project overlap over the chosen range, the personal bests
/// and the work patterns.
class PortfolioProductivitySection : public QWidget {
    Q_OBJECT

public:
    PortfolioProductivitySection(const PortfolioState& state, const std::optional<PortfolioMetrics>& metrics,
                                 QWidget* parent = nullptr);

    void setMetrics(const std::optional<PortfolioMetrics>& metrics);
    void setLoading(bool loading);
    /// The series of the chosen range and the work patterns.
    void setSeries(const PortfolioState& state);

    const BusyIndicator& loadingIndicator() const { return *loading_; }
    /// The tiles' row; empty without metrics.
    const QWidget& tiles() const { return *tiles_; }
    const DailyThroughputChartView& throughputChart() const { return *throughput_; }
    const ProjectActivityOverlapView& overlapChart() const { return *overlap_; }
    /// The work patterns card; none before the first patterns are read.
    const WorkPatternsCard* patternsCard() const { return patterns_; }

signals:
    /// A chart or the work patterns card offered All Time and the user took it; `offer` is what
    /// holds the offer, to be kept in place while the new range's figures come.
    void timeRangeRequested(norvane::app::TimeRange range, QWidget* offer);

private:
    QWidget* makeHeader();
    QWidget* makeCharts(const PortfolioState& state);
    void showPatterns(const PortfolioState& state);

    BusyIndicator* loading_ = nullptr;
    QWidget* tiles_;
    QHBoxLayout* tilesLayout_;
    DailyThroughputChartView* throughput_ = nullptr;
    ProjectActivityOverlapView* overlap_ = nullptr;
    QVBoxLayout* cards_;
    QWidget* cardsArea_;
    PersonalBestsCard* bests_ = nullptr;
    WorkPatternsCard* patterns_ = nullptr;
};

} // namespace norvane::app
