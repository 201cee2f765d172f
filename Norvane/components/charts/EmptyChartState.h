#pragma once

#include "Norvane/components/charts/ChartPanel.h"

#include <QString>

class QLabel;

namespace norvane::app {

/// What a chart says in place of its plot.
struct EmptyChartText {
    QString caption;
    QString detail;
    bool operator==(const EmptyChartText&) const = default;

    /// Where no project's history was read, `withoutHistory`; where it was, the chosen range had no
    /// commits, and a longer range may show `what`.
    static EmptyChartText forRange(const EmptyChartText& withoutHistory, bool hasHistory, bool longerRangeMayShow,
                                   const QString& what);
};

/// A chart's empty state: its symbol, a caption and a detail line, whose texts follow what the chart
/// knows of the history.
class EmptyChartState : public ChartPanel {
    Q_OBJECT
public:
    EmptyChartState(int height, const QString& symbolName, const EmptyChartText& text, QWidget* parent = nullptr);

    void setText(const EmptyChartText& text);
    const EmptyChartText& text() const { return text_; }

private:
    EmptyChartText text_;
    QLabel* caption_;
    QLabel* detail_;
};

} // namespace norvane::app
