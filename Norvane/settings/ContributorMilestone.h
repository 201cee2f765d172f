#pragma once

#include <optional>
#include <vector>

#include <QColor>
#include <QString>

namespace norvane::app {

/// A step of the community benchmark's growth, by the number of contributors it needs.
struct ContributorMilestone {
    enum class Kind { early, full, segmented, complete };

    Kind kind;
    /// Where the way to the target starts; none for `complete`, which has no way left.
    std::optional<int> lowerBound;
    int target;
    QString message;
    QString symbol;
    QColor color;

    /// `early`, `full`, `segmented` and `complete`, in this order.
    static const std::vector<ContributorMilestone>& all();
    /// The milestone that `contributorCount` contributors are on the way to.
    static const ContributorMilestone& current(int contributorCount);
    /// How far `contributorCount` is along the way to this milestone's target, 0 to 1.
    double progress(int contributorCount) const;
};

} // namespace norvane::app
