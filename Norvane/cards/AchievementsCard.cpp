#include "Norvane/cards/AchievementsCard.h"

#include "Norvane/cards/AchievementMedal.h"
#include "Norvane/cards/kit/AdaptiveGridLayout.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/ChevronButton.h"
#include "Norvane/cards/kit/ExpandableBody.h"
#include "Norvane/cards/kit/FilterChip.h"
#include "Norvane/cards/kit/Notice.h"
#include "Norvane/cards/kit/ProgressTrack.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <functional>

namespace norvane::app {

namespace {

using Category = Achievement::Category;
using Tier = Achievement::Tier;

constexpr std::array allCategories = {Category::lines, Category::streaks, Category::percentile, Category::retention};
constexpr int minimumColumnWidth = 80;
constexpr int gridSpacing = 8;

QColor rgb(double red, double green, double blue) {
    return QColor::fromRgbF(static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue));
}

AchievementsCard::Achievements matching(const AchievementsCard::Achievements& list,
                                        const std::function<bool(const Achievement&)>& keep) {
    AchievementsCard::Achievements kept;
    std::copy_if(list.begin(), list.end(), std::back_inserter(kept), keep);
    return kept;
}

QWidget* achievementsEmptyState() {
    return makeNoticeRow({QStringLiteral("trophy"), Palette::textMuted(), QStringLiteral("Start Earning Badges"),
                          Palette::textSecondary(),
                          QStringLiteral("Write code, maintain streaks, and climb the rankings to earn achievements."),
                          Palette::textMuted()});
}

/// A group: its title in capitals over its badges.
QWidget* groupSection(const QString& title, QWidget* badges) {
    auto* section = makeColumn(8);
    section->addWidget(makeLabel(title.toUpper(), TextStyle::caption, Palette::textMuted()));
    section->addWidget(badges);
    return wrap(section);
}

QWidget* medalGrid(const AchievementsCard::Achievements& group, AchievementMedal::Kind kind) {
    auto* grid = new QWidget;
    auto* layout = new AdaptiveGridLayout(minimumColumnWidth, gridSpacing, grid);
    for (const Achievement& achievement : group) {
        const bool earned = kind == AchievementMedal::Kind::earned;
        auto* medal = new AchievementMedal(kind, fromCore(achievement.emoji), fromCore(achievement.title),
                                           earned ? QBrush(AchievementsCard::tierGradient(achievement.tier))
                                                  : QBrush(Palette::backgroundBase()));
        const QString description = fromCore(achievement.description);
        medal->setToolTip(earned ? description
                                 : description + QStringLiteral("\nRequirement: ") + fromCore(achievement.requirement));
        layout->addWidget(medal);
    }
    return grid;
}

QWidget* progressRow(const Achievement& achievement) {
    const QColor color = AchievementsCard::tierColor(achievement.tier);
    auto* row = new RoundedPanel(RoundedPanel::box(Palette::withOpacity(color, 0.05), 8, Qt::Horizontal, 12));
    row->contentLayout()->addWidget(
        new AchievementMedal(AchievementMedal::Kind::ring, fromCore(achievement.emoji), {}, color), 0,
        Qt::AlignVCenter);
    auto* texts = makeColumn(4);
    auto* titleLine = makeRow(defaultSpacing);
    titleLine->addWidget(
        makeLabel(fromCore(achievement.title), TextStyle::caption, Palette::textPrimary(), QFont::Medium));
    titleLine->addStretch(1);
    if (achievement.progress) {
        titleLine->addWidget(makeLabel(AchievementsCard::progressText(*achievement.progress), TextStyle::caption2,
                                       Palette::textSecondary()));
    }
    texts->addLayout(titleLine);
    if (achievement.progress) {
        auto* bar = new ProgressTrack(4, 2.0, color);
        bar->setFraction(*achievement.progress);
        texts->addWidget(bar);
    }
    texts->addWidget(makeLabel(fromCore(achievement.requirement), TextStyle::caption2, Palette::textMuted()));
    row->contentLayout()->addLayout(texts, 1);
    return row;
}

QWidget* progressList(const AchievementsCard::Achievements& group) {
    auto* list = makeColumn(8);
    for (const Achievement& achievement : group) {
        list->addWidget(progressRow(achievement));
    }
    return wrap(list);
}

} // namespace

AchievementsCard::AchievementsCard(Achievements achievements, QWidget* parent)
    : RoundedPanel(card(12), parent), achievements_(std::move(achievements)),
      countBadge_(new RoundedPanel(capsule(Palette::withOpacity(Palette::amber(), 0.15), QMargins(8, 2, 8, 2), 0))),
      countLabel_(makeLabel({}, TextStyle::caption, Palette::amber())), chevron_(new ChevronButton(true)),
      body_(new ExpandableBody(true)), emptyState_(achievementsEmptyState()), content_(new QWidget),
      groups_(new QWidget) {
    auto* header = makeRow(defaultSpacing);
    header->addWidget(makeSymbol(QStringLiteral("trophy.fill"), TextStyle::body, Palette::amber()));
    header->addWidget(makeLabel(QStringLiteral("Achievements"), TextStyle::headline, Palette::textPrimary()));
    header->addStretch(1);
    countBadge_->contentLayout()->addWidget(countLabel_);
    header->addWidget(countBadge_);
    header->addWidget(chevron_);
    contentLayout()->addLayout(header);

    auto* contentLayout = makeColumn(16);
    contentLayout->addWidget(makeChipRow());
    contentLayout->addWidget(groups_);
    content_->setLayout(contentLayout);
    groups_->setLayout(makeColumn(16));
    auto* bodyLayout = makeColumn(0);
    bodyLayout->addWidget(emptyState_);
    bodyLayout->addWidget(content_);
    body_->setLayout(bodyLayout);
    this->contentLayout()->addWidget(body_);
    connect(chevron_, &QAbstractButton::clicked, this, [this] { setExpanded(!isExpanded()); });
    showAchievements();
}

void AchievementsCard::setAchievements(Achievements achievements) {
    achievements_ = std::move(achievements);
    showAchievements();
}

bool AchievementsCard::isExpanded() const { return body_->isExpanded(); }

void AchievementsCard::setExpanded(bool expanded) {
    chevron_->setExpanded(expanded);
    body_->setExpanded(expanded);
}

void AchievementsCard::selectCategory(std::optional<Achievement::Category> category) {
    selectedCategory_ = category;
    chips_.front()->setSelected(!category);
    for (std::size_t index = 0; index < allCategories.size(); ++index) {
        chips_[index + 1]->setSelected(category == allCategories[index]);
    }
    rebuildGroups();
}

AchievementsCard::Achievements AchievementsCard::earned(const Achievements& achievements) {
    return matching(achievements, [](const Achievement& achievement) { return achievement.isEarned; });
}

AchievementsCard::Achievements AchievementsCard::inProgress(const Achievements& achievements) {
    return matching(achievements, [](const Achievement& achievement) {
        return !achievement.isEarned && achievement.progress && *achievement.progress > 0.0;
    });
}

AchievementsCard::Achievements AchievementsCard::locked(const Achievements& achievements) {
    return matching(achievements, [](const Achievement& achievement) {
        return !achievement.isEarned && !(achievement.progress && *achievement.progress > 0.0);
    });
}

AchievementsCard::Achievements AchievementsCard::filteredByCategory(const Achievements& group,
                                                                    std::optional<Achievement::Category> category) {
    if (!category) {
        return group;
    }
    return matching(group, [category](const Achievement& achievement) { return achievement.category == *category; });
}

QString AchievementsCard::countText(const Achievements& achievements) {
    return QString::number(earned(achievements).size()) + QStringLiteral("/") + QString::number(achievements.size());
}

QString AchievementsCard::progressText(double progress) { return formatTruncatedPercent(progress * 100.0); }

QString AchievementsCard::chipLabel(Achievement::Category category) {
    switch (category) {
    case Category::lines: return QStringLiteral("Lines");
    case Category::streaks: return QStringLiteral("Streaks");
    case Category::percentile: return QStringLiteral("Ranking");
    case Category::retention: return QStringLiteral("Architecture");
    }
    return {};
}

QLinearGradient AchievementsCard::tierGradient(Achievement::Tier tier) {
    switch (tier) {
    case Tier::bronze: return Palette::topLeadingToBottomTrailing(rgb(0.8, 0.5, 0.2), rgb(0.6, 0.4, 0.2));
    case Tier::silver: return Palette::topLeadingToBottomTrailing(rgb(0.75, 0.75, 0.8), rgb(0.6, 0.6, 0.65));
    case Tier::gold: return Palette::topLeadingToBottomTrailing(rgb(1.0, 0.84, 0.0), rgb(0.85, 0.65, 0.0));
    case Tier::platinum: return Palette::topLeadingToBottomTrailing(rgb(0.9, 0.9, 0.95), rgb(0.7, 0.8, 0.9));
    }
    return {};
}

QColor AchievementsCard::tierColor(Achievement::Tier tier) {
    switch (tier) {
    case Tier::bronze: return rgb(0.8, 0.5, 0.2);
    case Tier::silver: return rgb(0.6, 0.6, 0.65);
    case Tier::gold: return rgb(1.0, 0.84, 0.0);
    case Tier::platinum: return rgb(0.7, 0.8, 0.9);
    }
    return {};
}

std::optional<QString> AchievementsCard::shownCount() const {
    return countBadge_->isHidden() ? std::nullopt : std::optional(countLabel_->text());
}

QWidget* AchievementsCard::makeChipRow() {
    auto* row = makeRow(8);
    chips_.push_back(new FilterChip(QStringLiteral("All")));
    for (const Category category : allCategories) {
        chips_.push_back(new FilterChip(chipLabel(category)));
    }
    for (std::size_t index = 0; index < chips_.size(); ++index) {
        row->addWidget(chips_[index]);
        const std::optional<Category> category = index == 0 ? std::nullopt : std::optional(allCategories[index - 1]);
        connect(chips_[index], &QAbstractButton::clicked, this, [this, category] { selectCategory(category); });
    }
    row->addStretch(1);
    chips_.front()->setSelected(true);
    auto* scroller = new QScrollArea;
    scroller->setWidget(wrap(row));
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setFixedHeight(chips_.front()->sizeHint().height());
    scroller->setStyleSheet(QStringLiteral("background: transparent;"));
    return scroller;
}

void AchievementsCard::showAchievements() {
    countBadge_->setVisible(!achievements_.empty());
    countLabel_->setText(countText(achievements_));
    emptyState_->setVisible(achievements_.empty());
    content_->setVisible(!achievements_.empty());
    rebuildGroups();
}

void AchievementsCard::rebuildGroups() {
    QLayout* layout = groups_->layout();
    clearLayout(layout);
    const Achievements earnedShown = filteredByCategory(earned(achievements_), selectedCategory_);
    const Achievements progressShown = filteredByCategory(inProgress(achievements_), selectedCategory_);
    Achievements lockedFirst = filteredByCategory(locked(achievements_), selectedCategory_);
    lockedFirst.resize(std::min(lockedFirst.size(), lockedShown));
    if (!earnedShown.empty()) {
        layout->addWidget(
            groupSection(QStringLiteral("Earned"), medalGrid(earnedShown, AchievementMedal::Kind::earned)));
    }
    if (!progressShown.empty()) {
        layout->addWidget(groupSection(QStringLiteral("In Progress"), progressList(progressShown)));
    }
    if (!lockedFirst.empty()) {
        layout->addWidget(
            groupSection(QStringLiteral("Locked"), medalGrid(lockedFirst, AchievementMedal::Kind::locked)));
    }
    groups_->setVisible(layout->count() > 0);
}

} // namespace norvane::app
