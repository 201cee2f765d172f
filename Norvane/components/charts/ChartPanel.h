#pragma once

#include "Norvane/components/tiles/TileFrame.h"

namespace norvane::app {

/// The tile frame standing in for a chart: a fixed height, with its content centred (an
/// empty-state symbol and caption, or a progress indicator).
class ChartPanel : public TileFrame {
    Q_OBJECT
public:
    ChartPanel(int height, QWidget* parent = nullptr);

    /// The empty state: the symbol in the title-2 size, the caption, and an optional detail line.
    static ChartPanel* emptyState(int height, const QString& symbolName, const QString& caption,
                                  const QString& detail = {}, QWidget* parent = nullptr);
};

} // namespace norvane::app
