#pragma once

#include <QWidget>

namespace norvane::app {

/// A hairline between the parts of a card: horizontal across the offered width, or vertical at a
/// fixed height.
class Divider : public QWidget {
    Q_OBJECT
public:
    /// A horizontal divider.
    explicit Divider(QWidget* parent = nullptr);
    /// A vertical divider `height` pixels high.
    explicit Divider(int height, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace norvane::app
