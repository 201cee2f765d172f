#pragma once

#include "Norvane/components/tiles/HeroMetric.h"

#include <QWidget>

#include <vector>

namespace norvane::app {

class HeroMetricCard;
class SparklineView;

/// The large card at the top of a page: two headline figures side by side around a thin rule,
/// an optional footer under the first, and a 14-day sparkline when a series is given. The figures
/// stand at the top of a row as tall as a figure with every line, so that lines that come later
/// move nothing.
class HeroZoneView : public QWidget {
    Q_OBJECT
public:
    /// `primaryFooter` may be null (no footer); the zone takes ownership of it.
    HeroZoneView(const HeroMetric& primaryMetric, const HeroMetric& secondaryMetric, std::vector<double> sparklineData,
                 QWidget* primaryFooter, QWidget* parent = nullptr);

    void setMetrics(const HeroMetric& primaryMetric, const HeroMetric& secondaryMetric);
    void setSparklineData(std::vector<double> sparklineData);
    /// While the series is still to come, an empty sparkline keeps its room, so that the page does
    /// not move down when the series arrives.
    void setSparklinePending(bool pending);

    const HeroMetricCard& primaryCard() const { return *primary_; }
    const HeroMetricCard& secondaryCard() const { return *secondary_; }
    /// The sparkline and its caption, hidden for an empty series (its room kept while pending).
    const QWidget& sparklineSection() const { return *sparklineSection_; }
    const SparklineView& sparkline() const { return *sparkline_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showSparklineSection();

    HeroMetricCard* primary_;
    HeroMetricCard* secondary_;
    QWidget* sparklineSection_;
    SparklineView* sparkline_;
    bool sparklinePending_ = false;
};

} // namespace norvane::app
