#pragma once

#include <QColor>
#include <QPointF>
#include <QWidget>

#include <vector>

namespace norvane::app {

/// A small line of recent values with a translucent area under it and a dot at its right end.
class SparklineView : public QWidget {
    Q_OBJECT
public:
    SparklineView(std::vector<double> series, QColor lineColor, bool fillGradient, QWidget* parent = nullptr);

    void setSeries(std::vector<double> series);
    const std::vector<double>& series() const { return data_; }

    /// Each value scaled to 0...1 between the smallest and the largest; 0.5 for a flat series.
    static std::vector<double> normalizedData(const std::vector<double>& series);
    /// Where value `index` of `count` normalised values lands in a `width` x `height` area.
    static QPointF pointAt(std::size_t index, std::size_t count, double normalized, double width, double height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<double> data_;
    QColor lineColor_;
    bool fillGradient_;
};

} // namespace norvane::app
