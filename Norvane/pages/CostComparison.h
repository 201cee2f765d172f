#pragma once

#include <optional>
#include <string>

#include <QString>

#include "Norvane/pages/ProjectDetailModel.h"
#include "core/collection/CocomoEstimate.h"
#include "core/collection/MarketRateEstimate.h"
#include "core/models/ProjectEnums.h"
#include "core/reads/ProjectPageData.h"

namespace norvane::app {

/// What a project's current code would have cost by two models, side by side: Basic COCOMO over
/// all code lines at the user's wage and overhead, and the market rate over the code category's
/// lines and complexity at the user's hourly rate.
struct CostComparison {
    CocomoEstimate cocomo;
    MarketRateEstimate market;
    std::optional<std::string> mainLanguage;

    CostComparison(const CodeCount& measurement, ProjectType projectType, CostRates rates, double hourlyRate);

    /// COCOMO's cost over the market's; none unless both are above zero.
    std::optional<double> ratio() const;
    /// The market card's third line: "Swift @ $150/hr", or "@ $150/hr" without a main language.
    QString marketRateCaption() const;
    QString marketRateHelp() const;

    static QString comparisonText(double ratio);
    /// US dollars without cents in the user's locale, from a million up in millions with at most
    /// one decimal and "M" ("$54,000", "$2.3M").
    static QString formatCurrency(double amount);
    /// The hourly rate as a whole number, cut toward zero.
    static QString rateText(double hourlyRate);
};

} // namespace norvane::app
