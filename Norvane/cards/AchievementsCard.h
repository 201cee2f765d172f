#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"
#include "core/analytics/Achievement.h"

#include <QLinearGradient>

#include <optional>
#include <vector>

namespace norvane::app {

class ChevronButton;
class ExpandableBody;
class FilterChip;
class StyledLabel;

/// The user's badges: earned ones, those under way with their progress, and the first locked
/// ones, narrowed by category chips. The card only presents the list it is given; it can fold
/// away to its header.
class AchievementsCard : public RoundedPanel {
    Q_OBJECT
public:
    using Achievements = std::vector<Achievement>;

    explicit AchievementsCard(Achievements achievements, QWidget* parent = nullptr);

    /// A new list from the page; the chosen category and the open state stay as the user left them.
    void setAchievements(Achievements achievements);
    bool isExpanded() const;
    void setExpanded(bool expanded);
    const std::optional<Achievement::Category>& selectedCategory() const { return selectedCategory_; }
    /// Chooses a category, or all of them with none.
    void selectCategory(std::optional<Achievement::Category> category);

    static Achievements earned(const Achievements& achievements);
    /// Not earned, with some progress.
    static Achievements inProgress(const Achievements& achievements);
    /// Not earned, without progress or with none at all.
    static Achievements locked(const Achievements& achievements);
    static Achievements filteredByCategory(const Achievements& group, std::optional<Achievement::Category> category);
    /// Earned over all, "3/11", whatever the chosen category.
    static QString countText(const Achievements& achievements);
    /// The progress cut toward zero to a whole percent: 0.456 reads 45%.
    static QString progressText(double progress);
    static QString chipLabel(Achievement::Category category);
    static QLinearGradient tierGradient(Achievement::Tier tier);
    static QColor tierColor(Achievement::Tier tier);
    /// The locked badges shown at most.
    static constexpr std::size_t lockedShown = 4;

    /// The chips in order: "All", then one per category.
    const std::vector<FilterChip*>& chips() const { return chips_; }
    const ChevronButton& expandButton() const { return *chevron_; }
    ChevronButton& expandButton() { return *chevron_; }
    /// The count badge's text; none while it is hidden.
    std::optional<QString> shownCount() const;

private:
    QWidget* makeChipRow();
    void showAchievements();
    void rebuildGroups();

    Achievements achievements_;
    std::optional<Achievement::Category> selectedCategory_;
    RoundedPanel* countBadge_;
    StyledLabel* countLabel_;
    ChevronButton* chevron_;
    ExpandableBody* body_;
    QWidget* emptyState_;
    QWidget* content_;
    QWidget* groups_;
    std::vector<FilterChip*> chips_;
};

} // namespace norvane::app
