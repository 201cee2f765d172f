#pragma once

#include <QColor>
#include <QWidget>

namespace norvane::app {

/// A filled circle of one colour: legend keys, priority and share markers.
class ColorDot : public QWidget {
    Q_OBJECT
public:
    ColorDot(int diameter, QColor color, QWidget* parent = nullptr);

    const QColor& color() const { return color_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
};

} // namespace norvane::app
