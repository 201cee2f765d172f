#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"
#include "core/analytics/WorkPatterns.h"

#include <optional>
#include <vector>

class QPushButton;

namespace norvane::app {

class WorkPatternsHeatmap;

/// When the user works: a chronotype badge, a weekend badge when much of the work falls on
/// weekends, the weekday by hour heatmap and the peak hour and day. Without commits it asks for
/// git history, or, where history was read, says that the window had none and offers All Time.
class WorkPatternsCard : public RoundedPanel {
    Q_OBJECT
public:
    struct Badge {
        QString symbol;
        QString label;
        QColor color;
        friend bool operator==(const Badge&, const Badge&) = default;
    };

    /// History was read, but the window of `days` days holds no commit.
    struct QuietWindow {
        int days = 0;
        /// A longer window exists: All Time.
        bool offersAllTime = false;
    };

    explicit WorkPatternsCard(const WorkPatterns& patterns, std::optional<QuietWindow> quiet = std::nullopt,
                              QWidget* parent = nullptr);

    /// The chronotype badge (night owl over early bird over regular hours), then the weekend
    /// badge above 25% of the commits on weekends.
    static std::vector<Badge> badges(const WorkPatterns& patterns);
    /// "12 commits analyzed"; none without commits.
    static std::optional<QString> countText(const WorkPatterns& patterns);
    /// What the card says without commits.
    static QString emptyText(const std::optional<QuietWindow>& quiet);

    /// The heatmap; none in the empty state.
    const WorkPatternsHeatmap* heatmap() const { return heatmap_; }
    /// "Show All Time" in a quiet window; none otherwise.
    QPushButton* allTimeButton() const { return allTime_; }

signals:
    void allTimeRequested();

private:
    QWidget* makeContent(const WorkPatterns& patterns);
    QWidget* makeEmptyState(const std::optional<QuietWindow>& quiet);

    WorkPatternsHeatmap* heatmap_ = nullptr;
    QPushButton* allTime_ = nullptr;
};

} // namespace norvane::app
