#pragma once

#include <QWidget>

class QVBoxLayout;

namespace norvane::app {

/// The frame of the summary tiles: a raised, rounded panel as wide as offered, its content
/// stacked and centred.
class TileFrame : public QWidget {
    Q_OBJECT
public:
    explicit TileFrame(QWidget* parent = nullptr);

    QVBoxLayout* contentLayout() const { return layout_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* layout_;
};

} // namespace norvane::app
