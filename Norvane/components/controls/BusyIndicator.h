#pragma once

#include <QTimer>
#include <QWidget>

namespace norvane::app {

/// A small spinning arc, shown while something runs.
class BusyIndicator : public QWidget {
    Q_OBJECT

public:
    explicit BusyIndicator(int size, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {size_, size_}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int size_;
    int angle_ = 0;
    QTimer timer_;
};

} // namespace norvane::app
