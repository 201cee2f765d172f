#include "Norvane/cards/PersonalBestsCard.h"

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/Divider.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "core/analytics/WholePercent.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace norvane::app {

namespace {

const QString missingMark = QStringLiteral("\u2014");

QWidget* columnWidget(const QString& title, const PersonalBestsCard::BestColumn& column) {
    auto* layout = makeColumn(6);
    layout->setAlignment(Qt::AlignHCenter);
    layout->addWidget(makeLabel(title, TextStyle::caption, Palette::textSecondary()), 0, Qt::AlignHCenter);
    layout->addWidget(makeLabel(column.value, TextStyle::title2,
                                column.hasValue ? Palette::amber() : Palette::textMuted(),
                                column.hasValue ? std::optional(QFont::DemiBold) : std::nullopt),
                      0, Qt::AlignHCenter);
    if (column.caption) {
        layout->addWidget(makeLabel(*column.caption, TextStyle::caption2, Palette::textMuted()), 0, Qt::AlignHCenter);
    }
    return wrap(layout);
}

bool isShowablePercentile(std::optional<double> percentile) { return percentile && isShowableNumber(*percentile); }

} // namespace

PersonalBestsCard::PersonalBestsCard(const PortfolioMetrics& metrics, QWidget* parent)
    : RoundedPanel(card(12), parent) {
    setMetrics(metrics);
}

void PersonalBestsCard::setMetrics(const PortfolioMetrics& metrics, platform::Date now) {
    clearLayout(contentLayout());
    contentLayout()->addWidget(
        makeLabel(QStringLiteral("Personal Bests"), TextStyle::headline, Palette::textPrimary()));
    auto* columns = makeRow(20);
    columns->addWidget(
        columnWidget(QStringLiteral("Best Week"),
                     bestColumn(metrics.peak7DayLeverage, metrics.peak7DayStart, metrics.peak7DayEnd, now)),
        1);
    columns->addWidget(new Divider(60));
    columns->addWidget(
        columnWidget(QStringLiteral("Best 2 Weeks"),
                     bestColumn(metrics.peak14DayLeverage, metrics.peak14DayStart, metrics.peak14DayEnd, now)),
        1);
    contentLayout()->addLayout(columns);
    if (const auto banner = currentPeriodBanner(metrics.current7DayPercentile, metrics.current14DayPercentile)) {
        auto* row = makeRow(6);
        row->setContentsMargins(0, 4, 0, 0);
        row->addWidget(makeSymbol(banner->symbol, TextStyle::caption, banner->color));
        row->addWidget(makeLabel(banner->text, TextStyle::caption, Palette::textSecondary()), 1);
        contentLayout()->addLayout(row);
    }
}

PersonalBestsCard::BestColumn PersonalBestsCard::bestColumn(std::optional<double> leverage,
                                                            std::optional<platform::Date> start,
                                                            std::optional<platform::Date> end, platform::Date now) {
    if (!leverage || !isShowableNumber(*leverage)) {
        return {missingMark, false, QStringLiteral("No data yet")};
    }
    std::optional<QString> dates;
    if (start && end) {
        dates = DateText::dateRange(*start, *end, now);
    }
    return {formatMultiplier(*leverage), true, dates};
}

std::optional<PersonalBestsCard::Banner> PersonalBestsCard::currentPeriodBanner(std::optional<double> percentile7Day,
                                                                                std::optional<double> percentile14Day) {
    if (!isShowablePercentile(percentile7Day) || !isShowablePercentile(percentile14Day)) {
        return std::nullopt;
    }
    const double best = std::max(*percentile7Day, *percentile14Day);
    const QString window = *percentile14Day > *percentile7Day ? QStringLiteral("14-day") : QStringLiteral("7-day");
    if (best >= 80.0) {
        return Banner{QStringLiteral("flame.fill"), Palette::amber(),
                      QStringLiteral("You're currently in your top ") + QString::number(wholePercent(100.0 - best)) +
                          QStringLiteral("% ") + window + QStringLiteral(" productivity period!")};
    }
    if (best >= 50.0) {
        return Banner{QStringLiteral("chart.line.uptrend.xyaxis"), Palette::green(),
                      QStringLiteral("Current ") + window + QStringLiteral(" is above your median")};
    }
    return std::nullopt;
}

} // namespace norvane::app
