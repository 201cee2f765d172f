#include "core/analytics/Milestone.h"

namespace norvane {

double threshold(MilestoneType type) {
    switch (type) {
    case MilestoneType::value10k: return 10000;
    case MilestoneType::value50k: return 50000;
    case MilestoneType::value100k: return 100000;
    case MilestoneType::value500k: return 500000;
    case MilestoneType::sloc1k: return 1000;
    case MilestoneType::sloc5k: return 5000;
    case MilestoneType::sloc10k: return 10000;
    case MilestoneType::sloc50k: return 50000;
    }
    return 0;
}

bool isCost(MilestoneType type) {
    switch (type) {
    case MilestoneType::value10k:
    case MilestoneType::value50k:
    case MilestoneType::value100k:
    case MilestoneType::value500k: return true;
    default: return false;
    }
}

std::string_view iconName(MilestoneType type) { return isCost(type) ? "dollarsign.circle.fill" : "text.alignleft"; }

} // namespace norvane
