#pragma once

#include <QWidget>

class QVBoxLayout;

namespace norvane::app {

/// The rounded, raised panel that stands in for a chart: a fixed height, as wide as offered, with
/// its content centred (an empty-state symbol and caption, or a progress indicator).
class ChartPanel : public QWidget {
    Q_OBJECT
public:
    ChartPanel(int height, QWidget* parent = nullptr);

    /// The empty state: the symbol in the title-2 size, the caption, and an optional detail line.
    static ChartPanel* emptyState(int height, const QString& symbolName, const QString& caption,
                                  const QString& detail = {}, QWidget* parent = nullptr);

    QVBoxLayout* contentLayout() const { return layout_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* layout_;
};

} // namespace norvane::app
