#include "Norvane/components/charts/ChartPanel.h"

#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QVBoxLayout>

namespace norvane::app {

ChartPanel::ChartPanel(int height, QWidget* parent) : TileFrame(parent) {
    setFixedHeight(height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // The style's own margins, not the tiles' padding.
    contentLayout()->unsetContentsMargins();
    contentLayout()->setSpacing(8);
}

ChartPanel* ChartPanel::emptyState(int height, const QString& symbolName, const QString& caption, const QString& detail,
                                   QWidget* parent) {
    auto* panel = new ChartPanel(height, parent);
    QVBoxLayout* layout = panel->contentLayout();
    layout->addWidget(new SymbolLabel(symbolName, Typography::pixelSize(TextStyle::title2), Palette::textSecondary()),
                      0, Qt::AlignHCenter);
    layout->addWidget(new StyledLabel(caption, Typography::font(TextStyle::caption), Palette::textSecondary()), 0,
                      Qt::AlignHCenter);
    if (!detail.isEmpty()) {
        layout->addWidget(new StyledLabel(detail, Typography::font(TextStyle::caption2), Palette::textMuted()), 0,
                          Qt::AlignHCenter);
    }
    return panel;
}

} // namespace norvane::app
