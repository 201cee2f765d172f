#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/analytics/VelocityRetention.h"

#include <QList>

#include <optional>
#include <vector>

namespace norvane::app {

class DaysPicker;
class VelocityChart;

/// How well one project keeps its early pace of code change: its baseline and current velocity,
/// the retention between them with a verdict, and the velocity over time. Before a baseline
/// exists it says so instead. The owner holds the window of days: a choice in the picker is only
/// reported, and the picker shows the owner's value until the owner passes a new one.
class VelocityRetentionCard : public RoundedPanel {
    Q_OBJECT
public:
    using VelocityPoint = PortfolioMetricsService::VelocityPoint;

    struct Inputs {
        VelocityRetention retention;
        std::vector<VelocityPoint> velocityData;
        int selectedDays = 90;
        QList<int> dayOptions;
        std::optional<double> industryMedian;
        std::optional<QString> sizeBucket;
    };

    enum class State { tooEarly, assessedWithChart, assessedWithoutChart };

    /// A verdict's symbol, label and message, and the colour of the verdict and of the retention.
    struct VerdictLook {
        QString symbol;
        QString label;
        QString message;
        QColor color;
    };

    explicit VelocityRetentionCard(Inputs inputs, QWidget* parent = nullptr);

    void setSelectedDays(int selectedDays);
    int selectedDays() const { return inputs_.selectedDays; }

    static State state(const Inputs& inputs);
    /// "%.1fK" of thousands from 1000 up, else "%.0f" (999.6 reads 1000).
    static QString formatVelocity(double velocity);
    /// The text of a velocity, or of a retention ("%.0f%%"); none when the value is missing or
    /// cannot be shown, where the card draws the dash.
    static std::optional<QString> velocityText(std::optional<double> velocity);
    static std::optional<QString> retentionText(std::optional<double> retentionPercent);
    static VerdictLook verdictLook(RetentionAssessment assessment);

    const DaysPicker& picker() const { return *picker_; }
    DaysPicker& picker() { return *picker_; }
    /// The chart block; none while the card shows the too-early notice or the placeholder.
    const VelocityChart* chart() const { return chart_; }

signals:
    /// The window the user picked; the owner decides whether to show it.
    void daysChanged(int days);

private:
    QWidget* makeMetricsRow() const;
    QWidget* makeAssessmentRow() const;

    Inputs inputs_;
    DaysPicker* picker_;
    VelocityChart* chart_ = nullptr;
};

} // namespace norvane::app
