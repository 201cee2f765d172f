#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"
#include "core/analytics/WorkPatterns.h"

#include <optional>
#include <vector>

namespace norvane::app {

class WorkPatternsHeatmap;

/// When the user works: a chronotype badge, a weekend badge when much of the work falls on
/// weekends, the weekday by hour heatmap and the peak hour and day. Without commits it asks for
/// git history.
class WorkPatternsCard : public RoundedPanel {
    Q_OBJECT
public:
    struct Badge {
        QString symbol;
        QString label;
        QColor color;
        friend bool operator==(const Badge&, const Badge&) = default;
    };

    explicit WorkPatternsCard(const WorkPatterns& patterns, QWidget* parent = nullptr);

    /// The chronotype badge (night owl over early bird over regular hours), then the weekend
    /// badge above 25% of the commits on weekends.
    static std::vector<Badge> badges(const WorkPatterns& patterns);
    /// "12 commits analyzed"; none without commits.
    static std::optional<QString> countText(const WorkPatterns& patterns);

    /// The heatmap; none in the empty state.
    const WorkPatternsHeatmap* heatmap() const { return heatmap_; }

private:
    QWidget* makeContent(const WorkPatterns& patterns);

    WorkPatternsHeatmap* heatmap_ = nullptr;
};

} // namespace norvane::app
