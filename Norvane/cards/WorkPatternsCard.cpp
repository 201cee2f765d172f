#include "Norvane/cards/WorkPatternsCard.h"

#include "Norvane/cards/WorkPatternsHeatmap.h"
#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace norvane::app {

namespace {

constexpr double weekendThreshold = 25.0;

QWidget* badgeCapsule(const WorkPatternsCard::Badge& badge) {
    auto* capsule =
        new RoundedPanel(RoundedPanel::capsule(Palette::withOpacity(badge.color, 0.15), QMargins(10, 6, 10, 6), 4));
    capsule->contentLayout()->addWidget(makeSymbol(badge.symbol, TextStyle::caption, badge.color), 0, Qt::AlignVCenter);
    capsule->contentLayout()->addWidget(makeLabel(badge.label, TextStyle::caption, badge.color, QFont::Medium), 0,
                                        Qt::AlignVCenter);
    return capsule;
}

QWidget* peakStat(const QString& title, const QString& value) {
    auto* tile = makeColumn(2);
    tile->addWidget(makeLabel(title, TextStyle::caption2, Palette::textSecondary()));
    tile->addWidget(makeLabel(value, TextStyle::subheadline, Palette::textPrimary(), QFont::Medium));
    return wrap(tile);
}

} // namespace

WorkPatternsCard::WorkPatternsCard(const WorkPatterns& patterns, std::optional<QuietWindow> quiet, QWidget* parent)
    : RoundedPanel(card(16), parent) {
    auto* header = makeRow(defaultSpacing);
    header->addWidget(makeLabel(QStringLiteral("Work Patterns"), TextStyle::headline, Palette::textPrimary()));
    header->addStretch(1);
    const auto count = countText(patterns);
    if (count) {
        header->addWidget(makeLabel(*count, TextStyle::caption, Palette::textSecondary()));
    }
    contentLayout()->addLayout(header);
    contentLayout()->addWidget(count ? makeContent(patterns) : makeEmptyState(quiet));
}

QString WorkPatternsCard::emptyText(const std::optional<QuietWindow>& quiet) {
    if (!quiet) return QStringLiteral("Collect git history to analyze work patterns");
    return QStringLiteral("No commits in the last %1 days").arg(quiet->days);
}

QWidget* WorkPatternsCard::makeEmptyState(const std::optional<QuietWindow>& quiet) {
    auto* row = makeRow(8);
    row->addWidget(makeSymbol(QStringLiteral("clock"), TextStyle::body, Palette::textSecondary()));
    row->addWidget(makeLabel(emptyText(quiet), TextStyle::caption, Palette::textSecondary()));
    row->addStretch(1);
    if (quiet && quiet->offersAllTime) {
        allTime_ = new BorderedButton(QStringLiteral("Show All Time"), BorderedButton::Prominence::standard);
        connect(allTime_, &QPushButton::clicked, this, &WorkPatternsCard::allTimeRequested);
        row->addWidget(allTime_);
    }
    return wrap(row);
}

std::vector<WorkPatternsCard::Badge> WorkPatternsCard::badges(const WorkPatterns& patterns) {
    std::vector<Badge> result;
    if (patterns.isNightOwl) {
        result.push_back({QStringLiteral("moon.fill"), QStringLiteral("Night Owl"), Palette::purple()});
    } else if (patterns.isEarlyBird) {
        result.push_back({QStringLiteral("sun.horizon.fill"), QStringLiteral("Early Bird"), Palette::amber()});
    } else {
        result.push_back({QStringLiteral("clock.fill"), QStringLiteral("Regular Hours"), Palette::blue()});
    }
    const auto weekend = truncatedInteger(patterns.weekendPercentage);
    if (weekend && patterns.weekendPercentage > weekendThreshold) {
        result.push_back({QStringLiteral("calendar.badge.clock"),
                          QStringLiteral("Weekend: ") + QString::number(*weekend) + QStringLiteral("%"),
                          Palette::purple()});
    }
    return result;
}

std::optional<QString> WorkPatternsCard::countText(const WorkPatterns& patterns) {
    if (patterns.totalCommits < 1) {
        return std::nullopt;
    }
    return QString::number(patterns.totalCommits) + QStringLiteral(" commits analyzed");
}

QWidget* WorkPatternsCard::makeContent(const WorkPatterns& patterns) {
    auto* content = makeColumn(16);
    auto* badgeRow = makeRow(12);
    for (const Badge& badge : badges(patterns)) {
        badgeRow->addWidget(badgeCapsule(badge));
    }
    badgeRow->addStretch(1);
    content->addLayout(badgeRow);

    auto* heatmap = makeColumn(4);
    heatmap->addWidget(makeLabel(QStringLiteral("Activity Heatmap"), TextStyle::caption, Palette::textSecondary()));
    heatmap_ = new WorkPatternsHeatmap(patterns.heatmap);
    heatmap->addWidget(heatmap_);
    content->addLayout(heatmap);

    auto* peaks = makeRow(20);
    if (patterns.peakHour) {
        peaks->addWidget(peakStat(QStringLiteral("Peak Hour"), fromCore(WorkPatterns::formatHour(*patterns.peakHour))));
    }
    if (patterns.peakDay) {
        peaks->addWidget(
            peakStat(QStringLiteral("Peak Day"), fromCore(WorkPatterns::formatDayFull(*patterns.peakDay))));
    }
    peaks->addStretch(1);
    content->addLayout(peaks);
    return wrap(content);
}

} // namespace norvane::app
