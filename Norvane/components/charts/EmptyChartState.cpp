#include "Norvane/components/charts/EmptyChartState.h"

#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace norvane::app {

EmptyChartText EmptyChartText::forRange(const EmptyChartText& withoutHistory, const Range& range, const QString& unit,
                                        const QString& what) {
    if (!range.hasHistory) {
        return withoutHistory;
    }
    EmptyChartText text;
    if (range.inRange == 0) {
        text.caption = QStringLiteral("No activity in this period");
    } else if (range.inRange == 1) {
        text.caption = QStringLiteral("One %1 in this period").arg(unit);
    } else {
        text.caption = QStringLiteral("%1 %2s in this period").arg(range.inRange).arg(unit);
    }
    if (range.longerRangeMayShow) {
        text.detail = QStringLiteral("Choose a longer range to see ") + what;
        text.offersAllTime = true;
    } else {
        text.detail = range.inRange == 0 ? QStringLiteral("No recent commits to chart")
                                         : QStringLiteral("Collect more history to see ") + what;
    }
    return text;
}

EmptyChartState::EmptyChartState(int height, const QString& symbolName, const EmptyChartText& text, QWidget* parent)
    : ChartPanel(height, parent),
      caption_(new StyledLabel({}, Typography::font(TextStyle::caption), Palette::textSecondary())),
      detail_(new StyledLabel({}, Typography::font(TextStyle::caption2), Palette::textMuted())),
      allTime_(new QPushButton(QStringLiteral("Show All Time"))) {
    QVBoxLayout* layout = contentLayout();
    layout->addWidget(new SymbolLabel(symbolName, Typography::pixelSize(TextStyle::title2), Palette::textSecondary()),
                      0, Qt::AlignHCenter);
    layout->addWidget(caption_, 0, Qt::AlignHCenter);
    layout->addWidget(detail_, 0, Qt::AlignHCenter);
    allTime_->setFlat(true);
    allTime_->setCursor(Qt::PointingHandCursor);
    allTime_->setFont(Typography::font(TextStyle::caption, QFont::Medium));
    allTime_->setStyleSheet(
        QStringLiteral("QPushButton { color: %1; border: none; padding: 2px 8px; }").arg(Palette::cyan().name()));
    connect(allTime_, &QPushButton::clicked, this, &EmptyChartState::allTimeRequested);
    layout->addWidget(allTime_, 0, Qt::AlignHCenter);
    setText(text);
}

void EmptyChartState::setText(const EmptyChartText& text) {
    text_ = text;
    caption_->setText(text.caption);
    detail_->setText(text.detail);
    detail_->setVisible(!text.detail.isEmpty());
    allTime_->setVisible(text.offersAllTime);
}

} // namespace norvane::app
