#include "core/models/NewestSnapshot.h"

#include <algorithm>

namespace norvane {
namespace {

std::shared_ptr<Snapshot> newestOf(std::vector<std::shared_ptr<Snapshot>> snapshots) {
    std::stable_sort(snapshots.begin(), snapshots.end(),
                     [](const auto& a, const auto& b) { return a->capturedAt > b->capturedAt; });
    return snapshots.empty() ? nullptr : snapshots.front();
}

} // namespace

std::shared_ptr<Snapshot> newestSnapshot(const Project& project) { return newestOf(project.snapshots()); }

std::shared_ptr<Snapshot> newestCodeSnapshot(const Project& project) {
    auto snapshots = project.snapshots();
    std::erase_if(snapshots, [](const auto& snapshot) { return snapshot->snapshotType() == SnapshotType::gitHistory; });
    return newestOf(std::move(snapshots));
}

} // namespace norvane
