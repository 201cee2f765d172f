#pragma once

#include <QBrush>
#include <QWidget>

namespace norvane::app {

/// A progress bar as wide as offered: a rounded track on the base background and, over it from
/// the leading edge, a rounded fill as wide as the fraction of the track. The fraction is cut to
/// 0...1; one that is not a number draws no fill.
class ProgressTrack : public QWidget {
    Q_OBJECT
public:
    ProgressTrack(int barHeight, double cornerRadius, QBrush fill, QWidget* parent = nullptr);

    double fraction() const { return fraction_; }
    void setFraction(double fraction);
    /// The width the fill takes at the widget's current width.
    double fillWidth() const;
    /// Marks the goal with `text` (an emoji) on a small raised disc centred on the track's end.
    void setGoalMarker(const QString& text);
    const QString& goalMarker() const { return goalMarker_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    /// The track's rectangle: full width, `barHeight` high, centred vertically.
    QRectF trackRect() const;
    void paintGoalMarker(QPainter& painter) const;

    int barHeight_;
    double cornerRadius_;
    QBrush fill_;
    double fraction_ = 0.0;
    QString goalMarker_;
};

} // namespace norvane::app
