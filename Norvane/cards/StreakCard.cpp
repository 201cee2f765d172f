#include "Norvane/cards/StreakCard.h"

#include "Norvane/cards/kit/CapsuleBadge.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/ProgressTrack.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace norvane::app {

namespace {

constexpr int headerItems = 1;

QWidget* emptyState() {
    auto* row = makeRow(12);
    row->setContentsMargins(10, 10, 10, 10);
    row->addWidget(makeSymbol(QStringLiteral("flame"), TextStyle::title2, Palette::textMuted()));
    auto* texts = makeColumn(2);
    texts->addWidget(makeLabel(QStringLiteral("Start Your Streak"), TextStyle::subheadline, Palette::textSecondary(),
                               QFont::Medium));
    texts->addWidget(makeLabel(QStringLiteral("Ship code today to begin your shipping streak!"), TextStyle::caption,
                               Palette::textMuted()));
    row->addLayout(texts, 1);
    return wrap(row);
}

/// Adds `label` bottom-aligned and lifted so that its baseline meets the big number's.
void addOnBaseline(QHBoxLayout* row, StyledLabel* label, const QFont& numberFont) {
    const int lift = QFontMetrics(numberFont).descent() - QFontMetrics(label->font()).descent();
    label->setContentsMargins(0, 0, 0, std::max(lift, 0));
    row->addWidget(label, 0, Qt::AlignBottom);
}

QLayout* countRow(const ProductivityStreak& streak) {
    const QFont numberFont = Typography::systemFont(48, QFont::Bold);
    auto* number = makeRow(4);
    if (const auto milestone = streak.currentMilestone()) {
        addOnBaseline(number, makeLabel(fromCore(emoji(*milestone)), TextStyle::title, Palette::textPrimary()),
                      numberFont);
    }
    auto* count = makeLabel(QString::number(streak.currentStreak), TextStyle::title, StreakCard::flameColor(streak));
    count->setFont(numberFont);
    number->addWidget(count, 0, Qt::AlignBottom);
    addOnBaseline(number, makeLabel(QStringLiteral("days"), TextStyle::title3, Palette::textSecondary()), numberFont);
    auto* left = makeColumn(4);
    left->addLayout(number);
    if (const auto message = StreakCard::milestoneMessage(streak)) {
        left->addWidget(makeLabel(*message, TextStyle::caption, Palette::textSecondary()));
    }
    auto* row = makeRow(16);
    row->addLayout(left);
    row->addStretch(1);
    if (StreakCard::showsBest(streak)) {
        auto* best = new RoundedPanel(RoundedPanel::box(Palette::backgroundBase(), 8, Qt::Vertical, 2));
        best->contentLayout()->addWidget(makeLabel(QStringLiteral("Best"), TextStyle::caption2, Palette::textMuted()),
                                         0, Qt::AlignRight);
        best->contentLayout()->addWidget(makeLabel(QString::number(streak.longestStreak), TextStyle::title2,
                                                   Palette::textSecondary(), QFont::DemiBold),
                                         0, Qt::AlignRight);
        best->contentLayout()->addWidget(makeLabel(QStringLiteral("days"), TextStyle::caption2, Palette::textMuted()),
                                         0, Qt::AlignRight);
        row->addWidget(best, 0, Qt::AlignTop);
    }
    return row;
}

QWidget* nextMilestoneBox(const ProductivityStreak& streak, StreakMilestone next) {
    auto* box = new RoundedPanel(RoundedPanel::box(Palette::withOpacity(Palette::amber(), 0.05), 10, Qt::Vertical, 6));
    auto* line = makeRow(defaultSpacing);
    line->addWidget(
        makeLabel(QStringLiteral("Next: ") + fromCore(label(next)), TextStyle::caption, Palette::textSecondary()));
    line->addStretch(1);
    if (const auto toGo = StreakCard::daysToGoText(streak)) {
        line->addWidget(makeLabel(*toGo, TextStyle::caption, Palette::textSecondary()));
    }
    box->contentLayout()->addLayout(line);
    auto* bar = new ProgressTrack(
        8, 4.0, Palette::leadingToTrailing(Palette::amber(), Palette::withOpacity(Palette::amber(), 0.7)));
    bar->setGoalMarker(fromCore(emoji(next)));
    bar->setFraction(StreakCard::progressTowardNext(streak).value_or(0.0));
    box->contentLayout()->addWidget(bar);
    return box;
}

QWidget* legendaryBox() {
    auto* box =
        new RoundedPanel(RoundedPanel::box(Palette::leadingToTrailing(Palette::withOpacity(Palette::amber(), 0.15),
                                                                      Palette::withOpacity(Palette::amber(), 0.05)),
                                           10, Qt::Horizontal, 12));
    box->contentLayout()->addWidget(
        makeLabel(fromCore(emoji(StreakMilestone::year)), TextStyle::title, Palette::textPrimary()));
    auto* texts = makeColumn(2);
    texts->addWidget(
        makeLabel(QStringLiteral("Legendary Status"), TextStyle::subheadline, Palette::textPrimary(), QFont::DemiBold));
    texts->addWidget(makeLabel(QStringLiteral("You've achieved the highest streak milestone!"), TextStyle::caption,
                               Palette::textSecondary()));
    box->contentLayout()->addLayout(texts, 1);
    return box;
}

QWidget* streakBody(const ProductivityStreak& streak) {
    auto* body = makeColumn(16);
    body->addLayout(countRow(streak));
    if (const auto next = streak.nextMilestone()) {
        body->addWidget(nextMilestoneBox(streak, *next));
    } else {
        body->addWidget(legendaryBox());
    }
    if (const auto started = StreakCard::startedText(streak)) {
        auto* line = makeRow(4);
        line->addWidget(makeSymbol(QStringLiteral("calendar"), TextStyle::caption2, Palette::textSecondary()));
        line->addWidget(makeLabel(*started, TextStyle::caption, Palette::textSecondary()));
        line->addStretch(1);
        body->addLayout(line);
    }
    return wrap(body);
}

} // namespace

StreakCard::StreakCard(const std::optional<ProductivityStreak>& streak, QWidget* parent)
    : RoundedPanel(card(12), parent),
      flame_(makeSymbol(QStringLiteral("flame.fill"), TextStyle::body, Palette::textSecondary())),
      badge_(new CapsuleBadge(QStringLiteral("Active"), Palette::green())) {
    auto* header = makeRow(defaultSpacing);
    header->addWidget(flame_);
    header->addWidget(makeLabel(QStringLiteral("Shipping Streak"), TextStyle::headline, Palette::textPrimary()));
    header->addStretch(1);
    header->addWidget(badge_);
    contentLayout()->addLayout(header);
    setStreak(streak);
}

void StreakCard::setStreak(const std::optional<ProductivityStreak>& streak) {
    clearLayout(contentLayout(), headerItems);
    flame_->setColor(flameColor(streak));
    badge_->setVisible(streak && streak->isActive);
    contentLayout()->addWidget(streak ? streakBody(*streak) : emptyState());
}

QColor StreakCard::flameColor(const std::optional<ProductivityStreak>& streak) {
    if (!streak || streak->currentStreak < 1) {
        return Palette::textSecondary();
    }
    if (streak->currentStreak < 7) {
        return Palette::withOpacity(Palette::amber(), 0.6);
    }
    return streak->currentStreak < 30 ? Palette::withOpacity(Palette::amber(), 0.8) : Palette::amber();
}

std::optional<QString> StreakCard::milestoneMessage(const ProductivityStreak& streak) {
    if (const auto milestone = streak.currentMilestone()) {
        return fromCore(celebrationMessage(*milestone));
    }
    return streak.currentStreak >= 1 ? std::optional(QStringLiteral("Keep going!")) : std::nullopt;
}

std::optional<double> StreakCard::progressTowardNext(const ProductivityStreak& streak) {
    const auto next = streak.nextMilestone();
    if (!next) {
        return std::nullopt;
    }
    const auto current = streak.currentMilestone();
    const double lower = current ? static_cast<double>(rawValue(*current)) : 0.0;
    const double upper = static_cast<double>(rawValue(*next));
    return (static_cast<double>(streak.currentStreak) - lower) / (upper - lower);
}

std::optional<QString> StreakCard::daysToGoText(const ProductivityStreak& streak) {
    if (const auto days = streak.daysToNextMilestone()) {
        return QString::number(*days) + QStringLiteral(" days to go");
    }
    return std::nullopt;
}

bool StreakCard::showsBest(const ProductivityStreak& streak) {
    return streak.longestStreak >= 1 && streak.longestStreak != streak.currentStreak;
}

std::optional<QString> StreakCard::startedText(const ProductivityStreak& streak) {
    if (!streak.streakStartDate || streak.currentStreak < 1) {
        return std::nullopt;
    }
    return QStringLiteral("Started ") + DateText::mediumDate(*streak.streakStartDate);
}

} // namespace norvane::app
