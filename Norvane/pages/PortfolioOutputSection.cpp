#include "Norvane/pages/PortfolioOutputSection.h"

#include <QVBoxLayout>

#include "Norvane/cards/OutputCompositionCard.h"
#include "Norvane/cards/kit/CardLayout.h"

namespace norvane::app {

PortfolioOutputSection::PortfolioOutputSection(const PortfolioState& state, QWidget* parent)
    : QWidget(parent), layout_(makeColumn(16)) {
    setLayout(layout_);
    setState(state);
}

const QList<int>& PortfolioOutputSection::dayOptions() {
    static const QList<int> options{30, 90, 365};
    return options;
}

VelocityRetentionComparisonCard::Inputs PortfolioOutputSection::comparisonInputs(const PortfolioState& state) {
    const auto& percentiles = state.userPercentiles;
    VelocityRetentionComparisonCard::Inputs inputs{
        state.portfolioRetention, state.industryRetentionMedian,
        percentiles ? percentiles->velocityRetentionPercentile : std::nullopt,
        percentiles ? std::optional(QString::fromStdString(percentiles->sizeBucket)) : std::nullopt};
    for (const auto& project : state.projects) {
        (project.hasRetentionBaseline ? inputs.withBaseline : inputs.withoutBaseline)
            .push_back(QString::fromStdString(project.name));
    }
    return inputs;
}

void PortfolioOutputSection::setState(const PortfolioState& state) {
    if (state.outputComposition && composition_) {
        composition_->setComposition(*state.outputComposition);
        composition_->setSelectedDays(state.compositionDays);
    } else if (state.outputComposition) {
        composition_ = new OutputCompositionCard(*state.outputComposition, state.compositionDays, dayOptions());
        layout_->insertWidget(0, composition_);
        connect(composition_, &OutputCompositionCard::daysChanged, this,
                &PortfolioOutputSection::compositionDaysChanged);
    }
    // The comparison card draws its inputs once: a new one stands in for it.
    delete comparison_;
    comparison_ = new VelocityRetentionComparisonCard(comparisonInputs(state));
    layout_->addWidget(comparison_);
}

} // namespace norvane::app
