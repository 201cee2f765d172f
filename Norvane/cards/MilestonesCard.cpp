#include "Norvane/cards/MilestonesCard.h"

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/ProgressTrack.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace norvane::app {

namespace {

constexpr int gridColumns = 4;

QString labelOf(MilestoneType type) { return fromCore(platform::rawValue(type)); }

QLayout* milestonesEmptyState() {
    auto* row = makeRow(8);
    row->addWidget(makeSymbol(QStringLiteral("flag"), TextStyle::body, Palette::textSecondary()));
    row->addWidget(makeLabel(QStringLiteral("Collect git history to track milestones"), TextStyle::caption,
                             Palette::textSecondary()));
    row->addStretch(1);
    return row;
}

QLayout* footer(const MilestoneProgress& progress, MilestoneType next, std::optional<int> averageDaysToNext) {
    auto* row = makeRow(defaultSpacing);
    row->addWidget(
        makeLabel(formatCompactCurrency(progress.currentValue), TextStyle::caption, Palette::textSecondary()));
    row->addWidget(makeLabel(QStringLiteral("\u2192"), TextStyle::caption, Palette::textMuted()));
    row->addWidget(makeLabel(formatCompactCurrency(threshold(next)), TextStyle::caption, Palette::textSecondary()));
    row->addStretch(1);
    if (averageDaysToNext) {
        row->addWidget(
            makeLabel(QStringLiteral("Avg: ") + QString::number(*averageDaysToNext) + QStringLiteral(" days"),
                      TextStyle::caption2, Palette::textMuted()));
    }
    return row;
}

QWidget* nextMilestoneBox(const MilestoneProgress& progress, MilestoneType next, double progressToNext,
                          std::optional<int> averageDaysToNext) {
    auto* box = new RoundedPanel(
        RoundedPanel::box(Palette::withOpacity(Palette::blue(), 0.05), RoundedPanel::defaultPadding, Qt::Vertical, 8));
    auto* heading = makeRow(defaultSpacing);
    heading->addWidget(makeSymbol(QStringLiteral("dollarsign.circle.fill"), TextStyle::body, Palette::blue()));
    heading->addWidget(makeLabel(QStringLiteral("Next: ") + labelOf(next), TextStyle::subheadline,
                                 Palette::textPrimary(), QFont::Medium));
    heading->addStretch(1);
    heading->addWidget(
        makeLabel(MilestonesCard::percentageText(progressToNext), TextStyle::caption, Palette::textSecondary()));
    box->contentLayout()->addLayout(heading);
    auto* bar = new ProgressTrack(8, 4.0, Palette::blue());
    bar->setFraction(progressToNext);
    box->contentLayout()->addWidget(bar);
    box->contentLayout()->addLayout(footer(progress, next, averageDaysToNext));
    return box;
}

QWidget* reachedCell(const Milestone& milestone) {
    RoundedPanel::Look look = RoundedPanel::box(Palette::withOpacity(Palette::green(), 0.1), 0, Qt::Vertical, 2);
    look.cornerRadius = 6.0;
    look.padding = QMargins(8, 4, 8, 4);
    auto* cell = new RoundedPanel(look);
    auto* title = makeRow(4);
    title->addWidget(makeSymbol(QStringLiteral("checkmark.circle.fill"), TextStyle::caption2, Palette::green()));
    title->addWidget(makeLabel(labelOf(milestone.type), TextStyle::caption, Palette::textPrimary(), QFont::Medium));
    cell->contentLayout()->addLayout(title);
    cell->contentLayout()->setAlignment(title, Qt::AlignHCenter);
    cell->contentLayout()->addWidget(makeLabel(QString::number(milestone.daysFromStart) + QStringLiteral("d"),
                                               TextStyle::caption2, Palette::textSecondary()),
                                     0, Qt::AlignHCenter);
    cell->setToolTip(MilestonesCard::reachedTooltip(milestone));
    return cell;
}

QLayout* reachedSection(const std::vector<Milestone>& reached) {
    auto* section = makeColumn(8);
    section->addWidget(makeLabel(QStringLiteral("Reached"), TextStyle::caption, Palette::textSecondary()));
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(8);
    grid->setHorizontalSpacing(defaultSpacing);
    const std::vector<Milestone> ordered = MilestonesCard::gridOrder(reached);
    for (std::size_t index = 0; index < ordered.size(); ++index) {
        grid->addWidget(reachedCell(ordered[index]), static_cast<int>(index / gridColumns),
                        static_cast<int>(index % gridColumns));
    }
    for (int column = 0; column < gridColumns; ++column) {
        grid->setColumnStretch(column, 1);
        grid->setColumnMinimumWidth(column, 10);
    }
    section->addLayout(grid);
    return section;
}

} // namespace

MilestonesCard::MilestonesCard(const MilestoneProgress& progress, std::optional<int> averageDaysToNext, QWidget* parent)
    : RoundedPanel(card(12), parent) {
    setProgress(progress, averageDaysToNext);
}

void MilestonesCard::setProgress(const MilestoneProgress& progress, std::optional<int> averageDaysToNext) {
    clearLayout(contentLayout());
    contentLayout()->addWidget(makeLabel(QStringLiteral("Milestones"), TextStyle::headline, Palette::textPrimary()));
    if (showsEmptyState(progress)) {
        contentLayout()->addLayout(milestonesEmptyState());
        return;
    }
    if (progress.nextMilestone && progress.progressToNext) {
        contentLayout()->addWidget(
            nextMilestoneBox(progress, *progress.nextMilestone, *progress.progressToNext, averageDaysToNext));
    }
    if (!progress.reached.empty()) {
        contentLayout()->addLayout(reachedSection(progress.reached));
    }
}

bool MilestonesCard::showsEmptyState(const MilestoneProgress& progress) {
    return progress.reached.empty() && !progress.nextMilestone;
}

QString MilestonesCard::percentageText(double progressToNext) { return formatTruncatedPercent(progressToNext * 100.0); }

std::vector<Milestone> MilestonesCard::gridOrder(const std::vector<Milestone>& reached) {
    std::vector<Milestone> ordered = reached;
    std::ranges::stable_partition(ordered, [](const Milestone& milestone) { return isCost(milestone.type); });
    return ordered;
}

QString MilestonesCard::reachedTooltip(const Milestone& milestone) {
    return QStringLiteral("Reached ") + labelOf(milestone.type) + QStringLiteral(" in ") +
           QString::number(milestone.daysFromStart) + QStringLiteral(" days on ") +
           DateText::mediumDate(milestone.reachedAt);
}

} // namespace norvane::app
