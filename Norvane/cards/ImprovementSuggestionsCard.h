#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"
#include "core/community/ImprovementSuggestion.h"
#include "core/community/UserPercentiles.h"

#include <optional>

namespace norvane::app {

class ChevronButton;
class ExpandableBody;

/// Advice from the user's benchmark percentiles: focus areas where the user is in the lower half
/// of the community, strengths where in the top quartile. The items come from the core's
/// generator as they are; the card only lays them out and can fold away to its header.
class ImprovementSuggestionsCard : public RoundedPanel {
    Q_OBJECT
public:
    enum class Content { benchmarksRequired, focusAreasAndStrengths, focusAreas, strengths, doingGreat };

    explicit ImprovementSuggestionsCard(std::optional<UserPercentiles> percentiles, QWidget* parent = nullptr);

    /// New percentiles from the page; the card stays open or closed as the user left it.
    void setPercentiles(std::optional<UserPercentiles> percentiles);
    bool isExpanded() const;
    void setExpanded(bool expanded);

    static Content content(const std::optional<UserPercentiles>& percentiles);
    /// Green for every strength; amber, blue or secondary text for a focus area of high, medium or
    /// low priority.
    static QColor accentColor(const ImprovementSuggestion& item, bool isStrength);
    /// "12th %ile"; none without a percentile.
    static std::optional<QString> badgeText(const ImprovementSuggestion& item);

    const ChevronButton& expandButton() const { return *chevron_; }
    ChevronButton& expandButton() { return *chevron_; }

private:
    void rebuildContent();
    void addSection(const QString& title, const std::vector<ImprovementSuggestion>& items, bool isStrength);

    std::optional<UserPercentiles> percentiles_;
    ChevronButton* chevron_;
    ExpandableBody* body_;
};

} // namespace norvane::app
