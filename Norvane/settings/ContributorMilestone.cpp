#include "Norvane/settings/ContributorMilestone.h"

#include <algorithm>

#include "Norvane/components/theme/Palette.h"

namespace norvane::app {

const std::vector<ContributorMilestone>& ContributorMilestone::all() {
    static const std::vector<ContributorMilestone> milestones = {
        {Kind::early, 0, 100, QStringLiteral("Early benchmarks available at 100 contributors"), QStringLiteral("leaf"),
         Palette::systemOrange()},
        {Kind::full, 100, 500, QStringLiteral("Full benchmarks available at 500 contributors"),
         QStringLiteral("chart.bar"), Palette::systemBlue()},
        {Kind::segmented, 500, 1000, QStringLiteral("Size-segmented benchmarks at 1,000 contributors"),
         QStringLiteral("chart.bar.doc.horizontal"), Palette::systemPurple()},
        {Kind::complete, std::nullopt, 1000, QStringLiteral("Full Norvane Index available!"),
         QStringLiteral("checkmark.seal.fill"), Palette::systemGreen()},
    };
    return milestones;
}

const ContributorMilestone& ContributorMilestone::current(int contributorCount) {
    const auto& milestones = all();
    // The last milestone whose way has begun; the final one once its target is reached.
    if (contributorCount >= milestones.back().target) return milestones.back();
    for (auto milestone = milestones.rbegin() + 1; milestone != milestones.rend(); ++milestone) {
        if (contributorCount >= *milestone->lowerBound) return *milestone;
    }
    return milestones.front();
}

double ContributorMilestone::progress(int contributorCount) const {
    if (!lowerBound) return 1.0;
    return std::clamp(double(contributorCount - *lowerBound) / double(target - *lowerBound), 0.0, 1.0);
}

} // namespace norvane::app
