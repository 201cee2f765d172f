#include "Norvane/components/tiles/ChurnIndicator.h"

#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <fmt/format.h>

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace norvane::app {

namespace {

QHBoxLayout* row(int spacing) {
    auto* layout = new QHBoxLayout;
    layout->setSpacing(spacing);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

} // namespace

ChurnIndicator::ChurnIndicator(double churnRatio, double netGrowthRate, std::int64_t insertions, std::int64_t deletions,
                               QWidget* parent)
    : TileFrame(parent), kindSymbol_(new SymbolLabel({}, Typography::pixelSize(TextStyle::title2), Palette::blue())),
      kindLabel_(new StyledLabel({}, Typography::font(TextStyle::title2, QFont::DemiBold), Palette::textPrimary())),
      summary_(new StyledLabel({}, Typography::font(TextStyle::caption), Palette::textSecondary())) {
    auto* kindRow = row(6);
    kindRow->addWidget(kindSymbol_);
    kindRow->addWidget(kindLabel_);
    contentLayout()->addLayout(kindRow);
    contentLayout()->setAlignment(kindRow, Qt::AlignHCenter);
    contentLayout()->addWidget(summary_, 0, Qt::AlignHCenter);
    auto* counts = row(12);
    insertions_ = addCount(counts, QStringLiteral("plus.circle.fill"), Palette::green());
    deletions_ = addCount(counts, QStringLiteral("minus.circle.fill"), Palette::red());
    contentLayout()->addLayout(counts);
    contentLayout()->setAlignment(counts, Qt::AlignHCenter);
    setValues(churnRatio, netGrowthRate, insertions, deletions);
}

void ChurnIndicator::setValues(double churnRatio, double netGrowthRate, std::int64_t insertions,
                               std::int64_t deletions) {
    // Without a line changed the ratio and the direction mean nothing.
    const bool changed = insertions > 0 || deletions > 0;
    const Kind kind = changed ? churnLabel(churnRatio) : quietKind();
    kindSymbol_->setSymbolName(kind.symbol);
    kindSymbol_->setColor(kind.color);
    kindLabel_->setText(kind.label);
    summary_->setText(changed ? summaryText(churnRatio, netGrowthRate) : quietSummary());
    showCount(insertions_, QStringLiteral("+"), insertions);
    showCount(deletions_, QStringLiteral("-"), deletions);
    setToolTip(tooltipText(churnRatio, netGrowthRate, insertions, deletions));
}

ChurnIndicator::Kind ChurnIndicator::churnLabel(double churnRatio) {
    if (churnRatio < 1.3) {
        return {QStringLiteral("hammer.fill"), QStringLiteral("Building"), Palette::blue()};
    }
    if (churnRatio < 1.7) {
        return {QStringLiteral("arrow.triangle.2.circlepath"), QStringLiteral("Mixed"), Palette::amber()};
    }
    return {QStringLiteral("wrench.and.screwdriver.fill"), QStringLiteral("Refactoring"), Palette::violet()};
}

QString ChurnIndicator::summaryText(double churnRatio, double netGrowthRate) {
    QString direction = QStringLiteral("balanced");
    if (netGrowthRate > 10.0) {
        direction = QStringLiteral("net growth");
    } else if (netGrowthRate < -10.0) {
        direction = QStringLiteral("net reduction");
    }
    return formatFixed(churnRatio, 1) + QStringLiteral("x churn, ") + direction;
}

ChurnIndicator::Kind ChurnIndicator::quietKind() {
    return {QStringLiteral("moon.fill"), QStringLiteral("Quiet"), Palette::textMuted()};
}

QString ChurnIndicator::quietSummary() { return QStringLiteral("No lines changed"); }

QColor ChurnIndicator::countColor(std::int64_t count, const QColor& color) {
    return count > 0 ? color : Palette::textMuted();
}

ChurnIndicator::Count ChurnIndicator::addCount(QHBoxLayout* layout, const QString& symbol, const QColor& color) {
    const QFont caption = Typography::font(TextStyle::caption);
    Count count{new SymbolLabel(symbol, caption.pixelSize(), color), new StyledLabel({}, caption, color), color};
    auto* pair = row(3);
    pair->addWidget(count.symbol);
    pair->addWidget(count.text);
    layout->addLayout(pair);
    return count;
}

void ChurnIndicator::showCount(const Count& count, const QString& sign, std::int64_t lines) {
    count.text->setText(sign + countText(lines));
    const QColor shown = countColor(lines, count.color);
    count.symbol->setColor(shown);
    count.text->setColor(shown);
}

QString ChurnIndicator::countText(std::int64_t count) {
    if (count > 999) {
        return QString::fromStdString(fmt::format("{:.1f}k", static_cast<double>(count) / 1000.0));
    }
    return QString::number(count);
}

QString ChurnIndicator::tooltipText(double churnRatio, double netGrowthRate, std::int64_t insertions,
                                    std::int64_t deletions) {
    return QStringLiteral("Code Churn Ratio: ") + formatFixed(churnRatio, 2) +
           QStringLiteral("\n\n• 1.0 = All additions or all deletions (pure growth/removal)\n"
                          "• 2.0 = Equal additions and deletions (heavy refactoring)\n\nRecent activity: +") +
           QString::number(insertions) + QStringLiteral(" / -") + QString::number(deletions) +
           QStringLiteral(" lines\nNet change: ") + formatSignedPercent(netGrowthRate);
}

} // namespace norvane::app
