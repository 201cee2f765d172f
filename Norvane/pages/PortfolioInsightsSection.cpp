#include "Norvane/pages/PortfolioInsightsSection.h"

#include <QVBoxLayout>

#include "Norvane/cards/ImprovementSuggestionsCard.h"
#include "Norvane/cards/InsightsView.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"

namespace norvane::app {

PortfolioInsightsSection::PortfolioInsightsSection(const PortfolioState& state, QWidget* parent)
    : QWidget(parent), suggestions_(new ImprovementSuggestionsCard(state.userPercentiles)),
      insights_(new InsightsView(state.insights)) {
    auto* layout = makeColumn(16);
    setLayout(layout);
    layout->addWidget(suggestions_);
    auto* list = makeColumn(12);
    list->addWidget(makeLabel(QStringLiteral("Insights"), TextStyle::headline, Palette::textPrimary()));
    list->addWidget(insights_);
    layout->addLayout(list);
}

void PortfolioInsightsSection::setState(const PortfolioState& state) {
    suggestions_->setPercentiles(state.userPercentiles);
    insights_->setInsights(state.insights);
}

} // namespace norvane::app
