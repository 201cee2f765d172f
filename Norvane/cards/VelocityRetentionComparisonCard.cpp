#include "Norvane/cards/VelocityRetentionComparisonCard.h"

#include <QStringList>

#include <algorithm>

#include "Norvane/cards/ComparisonBar.h"
#include "Norvane/cards/MedianLabel.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/ColorDot.h"
#include "Norvane/cards/kit/Notice.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "core/community/UserPercentiles.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <array>
#include <cmath>

namespace norvane::app {

namespace {

constexpr int figureSize = 32;
constexpr int differenceSize = 24;

/// A column of the figures row: its caption over its content, centred, sharing the row equally.
QWidget* figureColumn(const QString& caption, QWidget* content) {
    auto* column = makeColumn(4);
    column->addWidget(makeLabel(caption, TextStyle::caption, Palette::textSecondary()), 0, Qt::AlignHCenter);
    column->addWidget(content, 0, Qt::AlignHCenter);
    return wrap(column);
}

StyledLabel* figure(std::optional<double> percent, const QColor& color) {
    auto* label = makeLabel(VelocityRetentionComparisonCard::percentText(percent), TextStyle::title,
                            percent ? color : Palette::textMuted());
    label->setFont(Typography::systemFont(figureSize, QFont::Bold));
    return label;
}

QWidget* legendItem(QWidget* key, const QString& text) {
    auto* item = makeRow(4);
    item->addWidget(key);
    item->addWidget(makeLabel(text, TextStyle::caption2, Palette::textSecondary()));
    return wrap(item);
}

QWidget* emptyState(const VelocityRetentionComparisonCard::EmptyText& text) {
    return makeNoticeColumn({QStringLiteral("chart.line.uptrend.xyaxis"), Palette::textMuted(), text.title,
                             Palette::textSecondary(), text.detail, Palette::textMuted(), QFont::Normal},
                            QMargins(0, 8, 0, 8));
}

} // namespace

VelocityRetentionComparisonCard::VelocityRetentionComparisonCard(Inputs inputs, QWidget* parent)
    : RoundedPanel(card(16), parent), inputs_(std::move(inputs)) {
    // A figure that cannot be shown counts as missing.
    inputs_.userRetention = showableValue(inputs_.userRetention);
    inputs_.industryMedian = showableValue(inputs_.industryMedian);
    contentLayout()->addWidget(makeHeader());
    if (!inputs_.userRetention) {
        contentLayout()->addWidget(emptyState(emptyText(inputs_.withBaseline, inputs_.withoutBaseline)));
        return;
    }
    contentLayout()->addWidget(makeFiguresRow());
    if (inputs_.industryMedian) {
        contentLayout()->addWidget(makeBarSection());
    }
    if (inputs_.percentile) {
        contentLayout()->addWidget(makeVerdictBox(*inputs_.percentile));
    }
}

VelocityRetentionComparisonCard::EmptyText
VelocityRetentionComparisonCard::emptyText(const std::vector<QString>& withBaseline,
                                           const std::vector<QString>& withoutBaseline) {
    if (withBaseline.empty()) {
        return {QStringLiteral("Retention data not available"),
                QStringLiteral("Projects need 60+ days of history to calculate velocity retention")};
    }
    if (withoutBaseline.empty()) {
        return {QStringLiteral("No commits in the last 30 days"),
                QStringLiteral("Velocity retention compares them with each project's first 60 days")};
    }
    // The quiet month holds only for the projects whose early pace is known: the others may well
    // have commits, which the output composition shows.
    return {QStringLiteral("Retention data not available"),
            QStringLiteral("%1 had no commits in the last 30 days, and %2 %3 less than 60 days of history")
                .arg(namesText(withBaseline), namesText(withoutBaseline),
                     withoutBaseline.size() == 1 ? QStringLiteral("has") : QStringLiteral("have"))};
}

QString VelocityRetentionComparisonCard::namesText(const std::vector<QString>& names) {
    constexpr std::size_t named = 3;
    if (names.size() <= 1) return names.empty() ? QString() : names.front();
    QStringList shown;
    for (std::size_t index = 0; index < std::min(names.size(), named); ++index) shown << names[index];
    if (names.size() > named) {
        return shown.join(QStringLiteral(", ")) + QStringLiteral(" and %1 more").arg(names.size() - named);
    }
    const QString last = shown.takeLast();
    return shown.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

QColor VelocityRetentionComparisonCard::percentileColor(int percentile) { return verdict(percentile).color; }

VelocityRetentionComparisonCard::Verdict VelocityRetentionComparisonCard::verdict(int percentile) {
    struct Band {
        int lowest;
        Verdict verdict;
    };
    // From the top band down; both ends of a band belong to it, and nothing above 100 does.
    static const std::array<Band, 4> bands = {{
        {90,
         {QStringLiteral("star.fill"), Palette::green(),
          QStringLiteral("Exceptional! Your architecture is scaling remarkably well.")}},
        {75,
         {QStringLiteral("checkmark.circle.fill"), Palette::blue(),
          QStringLiteral("Your codebase maintains velocity better than most projects this size.")}},
        {50,
         {QStringLiteral("chart.line.uptrend.xyaxis"), Palette::cyan(),
          QStringLiteral("Solid retention. Your architecture is handling growth well.")}},
        {25,
         {QStringLiteral("exclamationmark.triangle.fill"), Palette::amber(),
          QStringLiteral("Consider refactoring to improve maintainability as the project grows.")}},
    }};
    for (const Band& band : bands) {
        if (percentile >= band.lowest && percentile <= 100) {
            return band.verdict;
        }
    }
    return {QStringLiteral("wrench.fill"), Palette::red(),
            QStringLiteral("Velocity declining faster than typical. Tech debt may be accumulating.")};
}

QString VelocityRetentionComparisonCard::ordinal(int percentile) {
    return QString::fromStdString(UserPercentiles::formatPercentile(percentile));
}

QString VelocityRetentionComparisonCard::percentText(std::optional<double> percent) {
    return percent ? formatWholePercent(*percent) : QString::fromLatin1(noValueText);
}

std::optional<VelocityRetentionComparisonCard::Difference>
VelocityRetentionComparisonCard::difference(std::optional<double> userRetention, std::optional<double> industryMedian) {
    const auto lead =
        showableValue(userRetention && industryMedian ? std::optional(*userRetention - *industryMedian) : std::nullopt);
    if (!lead) {
        return std::nullopt;
    }
    return Difference{*lead >= 0.0, formatWholePercent(std::fabs(*lead))};
}

QWidget* VelocityRetentionComparisonCard::makeHeader() const {
    auto* header = makeRow(defaultSpacing);
    header->addWidget(makeLabel(QStringLiteral("Velocity Retention"), TextStyle::headline, Palette::textPrimary()));
    header->addStretch(1);
    if (inputs_.percentile) {
        const QColor color = percentileColor(*inputs_.percentile);
        auto* badge = new RoundedPanel(capsule(Palette::withOpacity(color, 0.15), QMargins(8, 4, 8, 4), 4));
        badge->setObjectName(QStringLiteral("percentileBadge"));
        badge->contentLayout()->addWidget(
            makeLabel(ordinal(*inputs_.percentile), TextStyle::caption, color, QFont::DemiBold), 0, Qt::AlignVCenter);
        badge->contentLayout()->addWidget(makeLabel(QStringLiteral("%ile"), TextStyle::caption2, color), 0,
                                          Qt::AlignVCenter);
        header->addWidget(badge);
    }
    return wrap(header);
}

QWidget* VelocityRetentionComparisonCard::makeFiguresRow() const {
    auto* row = makeRow(24);
    row->addWidget(figureColumn(QStringLiteral("Your Retention"), figure(inputs_.userRetention, Palette::cyan())), 1);
    row->addWidget(figureColumn(medianLabel(inputs_.sizeBucket), figure(inputs_.industryMedian, Palette::purple())), 1);
    if (const auto lead = difference(inputs_.userRetention, inputs_.industryMedian)) {
        const QColor color = lead->ahead ? Palette::green() : Palette::amber();
        auto* value = makeRow(2);
        value->addWidget(makeSymbol(lead->ahead ? QStringLiteral("arrow.up") : QStringLiteral("arrow.down"),
                                    TextStyle::caption, color),
                         0, Qt::AlignVCenter);
        auto* text = makeLabel(lead->text, TextStyle::title, color);
        text->setFont(Typography::systemFont(differenceSize, QFont::Bold));
        value->addWidget(text, 0, Qt::AlignVCenter);
        row->addWidget(figureColumn(QStringLiteral("vs Median"), wrap(value)), 1);
    }
    return wrap(row);
}

QWidget* VelocityRetentionComparisonCard::makeBarSection() {
    auto* section = makeColumn(4);
    bar_ = new ComparisonBar(*inputs_.userRetention, *inputs_.industryMedian);
    section->addWidget(bar_);
    auto* medianKey = new RoundedPanel({0.0, Palette::purple(), std::nullopt, {}, 0, Qt::Horizontal});
    medianKey->setFixedSize(8, 3);
    auto* legend = makeRow(16);
    legend->addWidget(legendItem(new ColorDot(8, Palette::cyan()), QStringLiteral("You")));
    legend->addWidget(legendItem(medianKey, QStringLiteral("Industry Median")));
    legend->addStretch(1);
    section->addLayout(legend);
    return wrap(section);
}

QWidget* VelocityRetentionComparisonCard::makeVerdictBox(int percentile) const {
    const Verdict look = verdict(percentile);
    auto* panel = new RoundedPanel(box(Palette::withOpacity(look.color, 0.1), 10, Qt::Horizontal, 8));
    panel->contentLayout()->addWidget(makeSymbol(look.symbol, TextStyle::body, look.color), 0, Qt::AlignVCenter);
    auto* texts = makeColumn(2);
    texts->addWidget(makeLabel(ordinal(percentile) + QStringLiteral(" percentile"), TextStyle::subheadline,
                               Palette::textPrimary(), QFont::Medium));
    auto* message = makeLabel(look.message, TextStyle::caption, Palette::textSecondary());
    message->setWordWrap(true);
    texts->addWidget(message);
    panel->contentLayout()->addLayout(texts, 1);
    return panel;
}

} // namespace norvane::app
