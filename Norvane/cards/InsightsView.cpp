#include "Norvane/cards/InsightsView.h"

#include "Norvane/cards/InsightCard.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QVBoxLayout>

namespace norvane::app {

namespace {

QWidget* placeholderRow() {
    auto* row = new RoundedPanel(
        RoundedPanel::box(Palette::backgroundRaised(), RoundedPanel::defaultPadding, Qt::Horizontal, defaultSpacing));
    row->contentLayout()->addWidget(
        makeSymbol(QStringLiteral("lightbulb"), TextStyle::title3, Palette::textSecondary()));
    row->contentLayout()->addWidget(makeLabel(QStringLiteral("Collect more data to see insights"),
                                              TextStyle::subheadline, Palette::textSecondary()));
    row->contentLayout()->addStretch(1);
    return row;
}

} // namespace

InsightsView::InsightsView(const std::vector<Insight>& insights, QWidget* parent)
    : QWidget(parent), layout_(makeColumn(12)) {
    setLayout(layout_);
    setInsights(insights);
}

void InsightsView::setInsights(const std::vector<Insight>& insights) {
    clearLayout(layout_);
    if (insights.empty()) {
        layout_->addWidget(placeholderRow());
        return;
    }
    for (const Insight& insight : insights) {
        layout_->addWidget(new InsightCard(insight));
    }
}

} // namespace norvane::app
