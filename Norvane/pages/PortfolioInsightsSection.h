#pragma once

#include <QWidget>

#include "Norvane/pages/PortfolioState.h"

namespace norvane::app {

class ImprovementSuggestionsCard;
class InsightsView;

/// The "Insights" section of the portfolio page: the suggestions from the user's percentiles and
/// the portfolio's insights.
class PortfolioInsightsSection : public QWidget {
    Q_OBJECT

public:
    explicit PortfolioInsightsSection(const PortfolioState& state, QWidget* parent = nullptr);

    void setState(const PortfolioState& state);

    const ImprovementSuggestionsCard& suggestions() const { return *suggestions_; }

private:
    ImprovementSuggestionsCard* suggestions_;
    InsightsView* insights_;
};

} // namespace norvane::app
