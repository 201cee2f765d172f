#pragma once

#include <QObject>

class QCustomPlot;

namespace norvane::app {

/// Reports the pointer's x over a plot (pixels, in the plot widget's coordinates), its leaving,
/// and the end of a drag across it.
class PlotHoverTracker : public QObject {
    Q_OBJECT
public:
    explicit PlotHoverTracker(QCustomPlot* plot);

signals:
    void moved(double pixelX);
    void left();
    void dragEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace norvane::app
