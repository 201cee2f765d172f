#include "Norvane/pages/CostComparison.h"

#include <cmath>

#include <QLocale>

#include "Norvane/components/text/NumberText.h"

namespace norvane::app {
namespace {

QString dollars(double amount, int decimals) {
    // The C locale names no way to write money; dollars are then written as in English.
    QLocale locale;
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::English, QLocale::UnitedStates);
    const QString text = locale.toCurrencyString(amount, QStringLiteral("$"), decimals);
    return text.isEmpty() ? QStringLiteral("$0") : text;
}

} // namespace

CostComparison::CostComparison(const CodeCount& measurement, ProjectType projectType, CostRates rates,
                               double hourlyRate)
    : cocomo(CocomoEstimate::calculate(measurement.codeLines, projectType, rates.averageWage, rates.overhead)),
      market(MarketRateEstimate::calculate(measurement.codeCategoryCode, measurement.codeCategoryComplexity,
                                           measurement.mainLanguage, hourlyRate)),
      mainLanguage(measurement.mainLanguage) {}

std::optional<double> CostComparison::ratio() const {
    if (!(cocomo.estimatedCost > 0) || !(market.estimatedCost > 0)) return std::nullopt;
    return cocomo.estimatedCost / market.estimatedCost;
}

QString CostComparison::marketRateCaption() const {
    const QString rate = QStringLiteral("@ $") + rateText(market.hourlyRate) + QStringLiteral("/hr");
    return mainLanguage ? QString::fromStdString(*mainLanguage) + QStringLiteral(" ") + rate : rate;
}

QString CostComparison::marketRateHelp() const {
    return QStringLiteral("Market rate estimate based on current industry rates ($") + rateText(market.hourlyRate) +
           QStringLiteral("/hour). Formula: (Lines/50) × Complexity × Language Multiplier × Hourly Rate");
}

QString CostComparison::comparisonText(double ratio) {
    if (ratio > 1.5) return QStringLiteral("COCOMO estimates %1x higher than market rate").arg(formatFixed(ratio, 1));
    if (ratio < 0.67)
        return QStringLiteral("Market rate estimates %1x higher than COCOMO").arg(formatFixed(1 / ratio, 1));
    return QStringLiteral("Both estimates are within similar range");
}

QString CostComparison::formatCurrency(double amount) {
    if (!isShowableNumber(amount)) return QStringLiteral("$0");
    if (amount < 1'000'000) return dollars(amount, 0);
    // At most one decimal: a whole number of millions shows none.
    const double millions = std::round(amount / 100'000) / 10;
    return dollars(millions, millions == std::trunc(millions) ? 0 : 1) + QStringLiteral("M");
}

QString CostComparison::rateText(double hourlyRate) {
    const auto whole = truncatedInteger(hourlyRate);
    return whole ? QString::number(*whole) : QString::fromLatin1(noValueText);
}

} // namespace norvane::app
