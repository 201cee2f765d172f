#include "Norvane/components/charts/EmptyChartState.h"

#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QVBoxLayout>

namespace norvane::app {

EmptyChartText EmptyChartText::forRange(const EmptyChartText& withoutHistory, bool hasHistory, bool longerRangeMayShow,
                                        const QString& what) {
    if (!hasHistory) {
        return withoutHistory;
    }
    return {QStringLiteral("No activity in this period"), longerRangeMayShow
                                                              ? QStringLiteral("Choose a longer range to see ") + what
                                                              : QStringLiteral("No recent commits to chart")};
}

EmptyChartState::EmptyChartState(int height, const QString& symbolName, const EmptyChartText& text, QWidget* parent)
    : ChartPanel(height, parent), text_(text),
      caption_(new StyledLabel(text.caption, Typography::font(TextStyle::caption), Palette::textSecondary())),
      detail_(new StyledLabel(text.detail, Typography::font(TextStyle::caption2), Palette::textMuted())) {
    QVBoxLayout* layout = contentLayout();
    layout->addWidget(new SymbolLabel(symbolName, Typography::pixelSize(TextStyle::title2), Palette::textSecondary()),
                      0, Qt::AlignHCenter);
    layout->addWidget(caption_, 0, Qt::AlignHCenter);
    layout->addWidget(detail_, 0, Qt::AlignHCenter);
    detail_->setVisible(!text.detail.isEmpty());
}

void EmptyChartState::setText(const EmptyChartText& text) {
    text_ = text;
    caption_->setText(text.caption);
    detail_->setText(text.detail);
    detail_->setVisible(!text.detail.isEmpty());
}

} // namespace norvane::app
