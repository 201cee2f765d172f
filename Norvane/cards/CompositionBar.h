#pragma once

#include "core/analytics/OutputComposition.h"

#include <QColor>
#include <QWidget>

#include <vector>

namespace norvane::app {

/// One stacked bar of the four output categories' shares, each segment naming its category on
/// hover.
class CompositionBar : public QWidget {
    Q_OBJECT
public:
    struct Segment {
        QString label;
        QColor color;
        double x;
        double width;
    };

    explicit CompositionBar(const OutputComposition& composition, QWidget* parent = nullptr);

    /// Side by side in the category order, 1 apart: a share that gives a width above 0 is drawn
    /// at least 2 wide; a share of 0 (or one that is not a number) is left out with no gap. The
    /// row may run past `available`; the bar cuts it off.
    static std::vector<Segment> segments(const OutputComposition& composition, double available);

    std::vector<Segment> segments() const { return segments(composition_, width()); }

    QSize sizeHint() const override { return {200, height()}; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    OutputComposition composition_;
};

} // namespace norvane::app
