#include "core/community/NewestCodeSnapshot.h"

#include <algorithm>

namespace norvane {

std::shared_ptr<Snapshot> newestCodeSnapshot(const Project& project) {
    auto snapshots = project.snapshots();
    std::erase_if(snapshots, [](const auto& snapshot) { return snapshot->snapshotType() == SnapshotType::gitHistory; });
    std::stable_sort(snapshots.begin(), snapshots.end(),
                     [](const auto& a, const auto& b) { return a->capturedAt > b->capturedAt; });
    return snapshots.empty() ? nullptr : snapshots.front();
}

} // namespace norvane
