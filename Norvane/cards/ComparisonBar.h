#pragma once

#include <QWidget>

#include <optional>

namespace norvane::app {

/// The retention comparison's bar: a track, the user's bar from its leading edge and a 3-pixel
/// marker centred on the community median. Both stand on one scale, 1.1 times the larger of the
/// two values and 100, so the larger value ends short of the full width.
class ComparisonBar : public QWidget {
    Q_OBJECT
public:
    /// Where the user's bar ends and the median's marker stands, as shares of the width; a value
    /// that is not finite has no place and is not drawn, and a negative one stands at the start.
    struct Geometry {
        std::optional<double> userEnd;
        std::optional<double> medianPosition;
    };

    ComparisonBar(double userValue, double medianValue, QWidget* parent = nullptr);

    static Geometry geometry(double userValue, double medianValue);
    const Geometry& geometry() const { return geometry_; }
    /// The drawn user bar and median marker, in this widget's coordinates; none when not drawn.
    std::optional<QRectF> userBarRect() const;
    std::optional<QRectF> markerRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Geometry geometry_;
};

} // namespace norvane::app
