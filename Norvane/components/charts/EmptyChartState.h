#pragma once

#include "Norvane/components/charts/ChartPanel.h"

#include <QString>

#include <cstddef>

class QLabel;
class QPushButton;

namespace norvane::app {

/// What a chart says in place of its plot.
struct EmptyChartText {
    QString caption;
    QString detail;
    /// The chart offers All Time, where its points may be.
    bool offersAllTime = false;
    bool operator==(const EmptyChartText&) const = default;

    /// What a chart knows of the points that it lacks.
    struct Range {
        /// Some project's history was read.
        bool hasHistory = false;
        /// How many of the chart's units (active days, commits) the chosen range holds: too few
        /// for a line.
        std::size_t inRange = 0;
        /// A longer range may hold more.
        bool longerRangeMayShow = false;
    };

    /// Where no history was read, `withoutHistory`. Where it was, what the chosen range holds (no
    /// activity, one `unit` or several) and, where a longer range may show `what`, an offer of All
    /// Time.
    static EmptyChartText forRange(const EmptyChartText& withoutHistory, const Range& range, const QString& unit,
                                   const QString& what);
};

/// A chart's empty state: its symbol, a caption and a detail line, whose texts follow what the chart
/// knows of the history, and "Show All Time" where that may show what the chosen range lacks.
class EmptyChartState : public ChartPanel {
    Q_OBJECT
public:
    EmptyChartState(int height, const QString& symbolName, const EmptyChartText& text, QWidget* parent = nullptr);

    void setText(const EmptyChartText& text);
    const EmptyChartText& text() const { return text_; }
    QPushButton& allTimeButton() const { return *allTime_; }

signals:
    /// The user took the offer of All Time.
    void allTimeRequested();

private:
    EmptyChartText text_;
    QLabel* caption_;
    QLabel* detail_;
    QPushButton* allTime_;
};

} // namespace norvane::app
