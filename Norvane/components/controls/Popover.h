#pragma once

#include <QFrame>

class QVBoxLayout;

namespace norvane::app {

/// A floating panel that opens below an anchor widget with an arrow pointing up at it, and
/// closes by the usual means (a click elsewhere, Escape).
class Popover : public QFrame {
    Q_OBJECT
public:
    explicit Popover(QWidget* anchor);

    QVBoxLayout* contentLayout() const { return layout_; }
    void open();

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QPainterPath outline() const;

    QWidget* anchor_;
    QVBoxLayout* layout_;
};

} // namespace norvane::app
