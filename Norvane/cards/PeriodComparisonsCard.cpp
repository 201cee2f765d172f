#include "Norvane/cards/PeriodComparisonsCard.h"

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/Divider.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace norvane::app {

namespace {

const QString missingComparisonMark = QStringLiteral("\u2014");

// A change that differs from ±5 only by the rounding of the division counts as exactly ±5.
constexpr double stableLimit = 5.0 + 1e-9;

enum class Trend { up, down, stable };

Trend trendOf(double change) {
    if (change > stableLimit) {
        return Trend::up;
    }
    return change < -stableLimit ? Trend::down : Trend::stable;
}

/// The line under a column's value, as tall as a change with its arrow whatever it holds: the
/// card takes one room whatever its figures, and the page keeps that room while they are read.
QWidget* changeLine(QWidget* line) {
    static const int height = std::max(
        SymbolLabel(QStringLiteral("arrow.up.right"), Typography::pixelSize(TextStyle::caption2), Palette::green())
            .sizeHint()
            .height(),
        QFontMetrics(Typography::font(TextStyle::caption)).height());
    line->setMinimumHeight(height);
    return line;
}

void addCurrentValue(QVBoxLayout* column, double current, std::optional<double> prior) {
    column->addWidget(makeLabel(formatMultiplier(current), TextStyle::title3, Palette::textPrimary(), QFont::DemiBold),
                      0, Qt::AlignHCenter);
    const auto change = PeriodComparisonsCard::changePercent(current, prior);
    if (!change) {
        column->addWidget(changeLine(makeLabel(missingComparisonMark, TextStyle::caption, Palette::textMuted())), 0,
                          Qt::AlignHCenter);
        return;
    }
    const auto indicator = PeriodComparisonsCard::changeIndicator(*change);
    auto* row = makeRow(2);
    row->addWidget(makeSymbol(indicator.symbol, TextStyle::caption2, indicator.color));
    row->addWidget(makeLabel(indicator.text, TextStyle::caption, indicator.color));
    QWidget* holder = changeLine(wrap(row));
    holder->setToolTip(indicator.help);
    column->addWidget(holder, 0, Qt::AlignHCenter);
}

QWidget* comparisonColumn(const QString& label, std::optional<double> current, std::optional<double> prior) {
    auto* column = makeColumn(6);
    column->setAlignment(Qt::AlignHCenter);
    column->addWidget(makeLabel(label, TextStyle::caption, Palette::textSecondary()), 0, Qt::AlignHCenter);
    if (current && isShowableNumber(*current)) {
        addCurrentValue(column, *current, prior);
    } else {
        column->addWidget(makeLabel(missingComparisonMark, TextStyle::title3, Palette::textMuted()), 0,
                          Qt::AlignHCenter);
        column->addWidget(changeLine(makeLabel(QStringLiteral("No data"), TextStyle::caption2, Palette::textMuted())),
                          0, Qt::AlignHCenter);
    }
    return wrap(column);
}

} // namespace

PeriodComparisonsCard::PeriodComparisonsCard(const PortfolioMetrics& metrics, QWidget* parent)
    : RoundedPanel(card(12), parent) {
    setMetrics(metrics);
}

void PeriodComparisonsCard::setMetrics(const PortfolioMetrics& metrics) {
    clearLayout(contentLayout());
    contentLayout()->addWidget(
        makeLabel(QStringLiteral("Period Comparisons"), TextStyle::headline, Palette::textPrimary()));
    auto* columns = makeRow(20);
    columns->addWidget(
        comparisonColumn(QStringLiteral("Week"), metrics.rollingLeverage7Day, metrics.rollingLeveragePrior7Day), 1);
    columns->addWidget(new Divider(50));
    columns->addWidget(
        comparisonColumn(QStringLiteral("2 Weeks"), metrics.rollingLeverage14Day, metrics.rollingLeveragePrior14Day),
        1);
    columns->addWidget(new Divider(50));
    columns->addWidget(
        comparisonColumn(QStringLiteral("Month"), metrics.rollingLeverage30Day, metrics.rollingLeveragePrior30Day), 1);
    contentLayout()->addLayout(columns);
}

PortfolioMetrics PeriodComparisonsCard::roomOfFigures() {
    PortfolioMetrics figures;
    figures.rollingLeverage7Day = figures.rollingLeverage14Day = figures.rollingLeverage30Day = 1.0;
    figures.rollingLeveragePrior7Day = figures.rollingLeveragePrior14Day = figures.rollingLeveragePrior30Day = 1.0;
    return figures;
}

std::optional<double> PeriodComparisonsCard::changePercent(double current, std::optional<double> prior) {
    if (!prior || !isShowableNumber(*prior) || *prior <= 0.0) {
        return std::nullopt;
    }
    const double change = (current / *prior - 1.0) * 100.0;
    return isShowableNumber(change) ? std::optional(change) : std::nullopt;
}

PeriodComparisonsCard::ChangeIndicator PeriodComparisonsCard::changeIndicator(double change) {
    const QString text = formatSignedPercent(change);
    switch (trendOf(change)) {
    case Trend::up: return {QStringLiteral("arrow.up.right"), Palette::green(), text, changeHelp(change)};
    case Trend::down: return {QStringLiteral("arrow.down.right"), Palette::red(), text, changeHelp(change)};
    case Trend::stable: break;
    }
    return {QStringLiteral("arrow.right"), Palette::textSecondary(), text, changeHelp(change)};
}

QString PeriodComparisonsCard::changeHelp(double change) {
    switch (trendOf(change)) {
    case Trend::up: return QStringLiteral("Up ") + formatFixed(change, 0) + QStringLiteral("% vs prior period");
    case Trend::down:
        return QStringLiteral("Down ") + formatFixed(std::fabs(change), 0) + QStringLiteral("% vs prior period");
    case Trend::stable: break;
    }
    return QStringLiteral("Stable vs prior period (within ±5%)");
}

} // namespace norvane::app
