#include "Norvane/pages/CostEstimatesView.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

namespace norvane::app {
namespace {

QStringList textsOf(const std::array<StyledLabel*, 3>& lines) {
    QStringList texts;
    for (const auto* line : lines) texts << line->text();
    return texts;
}

} // namespace

CostEstimatesView::Card CostEstimatesView::makeCard(const QColor& color) {
    auto* panel = new RoundedPanel(RoundedPanel::box(Palette::withOpacity(color, 0.1), RoundedPanel::defaultPadding,
                                                     Qt::Vertical, defaultSpacing));
    const std::array<StyledLabel*, 3> lines{makeLabel({}, TextStyle::title2, color, QFont::DemiBold),
                                            makeLabel({}, TextStyle::caption, Palette::textSecondary()),
                                            makeLabel({}, TextStyle::caption2, Palette::textMuted())};
    for (auto* line : lines) panel->contentLayout()->addWidget(line, 0, Qt::AlignHCenter);
    return {panel, lines};
}

CostEstimatesView::CostEstimatesView(QWidget* parent)
    : QWidget(parent), cocomo_(makeCard(Palette::amber())), market_(makeCard(Palette::green())),
      marketCard_(market_.panel) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    auto* cards = makeRow(16);
    cards->addWidget(cocomo_.panel, 1);
    cards->addWidget(market_.panel, 1);
    layout->addLayout(cards);

    cocomo_.lines[1]->setText(QStringLiteral("Traditional (COCOMO)"));
    cocomo_.lines[2]->setText(QStringLiteral("Based on 1981 model"));
    cocomo_.panel->setToolTip(QStringLiteral("COCOMO (Constructive Cost Model) estimate based on lines of code and "
                                             "project type. Useful for historical comparison."));
    market_.lines[1]->setText(QStringLiteral("Market Rate (2024)"));

    auto* comparison = makeRow(defaultSpacing);
    comparison->addWidget(makeSymbol(QStringLiteral("info.circle"), TextStyle::caption, Palette::textSecondary()));
    comparison_ = makeLabel({}, TextStyle::caption, Palette::textSecondary());
    comparison->addWidget(comparison_, 1);
    comparisonRow_ = wrap(comparison);
    layout->addWidget(comparisonRow_);
}

void CostEstimatesView::setComparison(const CostComparison& comparison) {
    cocomo_.lines[0]->setText(CostComparison::formatCurrency(comparison.cocomo.estimatedCost));
    market_.lines[0]->setText(CostComparison::formatCurrency(comparison.market.estimatedCost));
    market_.lines[2]->setText(comparison.marketRateCaption());
    market_.panel->setToolTip(comparison.marketRateHelp());
    const auto ratio = comparison.ratio();
    comparisonRow_->setVisible(ratio.has_value());
    comparison_->setText(ratio ? CostComparison::comparisonText(*ratio) : QString());
}

QStringList CostEstimatesView::cocomoTexts() const { return textsOf(cocomo_.lines); }

QStringList CostEstimatesView::marketTexts() const { return textsOf(market_.lines); }

QString CostEstimatesView::comparisonText() const {
    return comparisonRow_->isHidden() ? QString() : comparison_->text();
}

} // namespace norvane::app
