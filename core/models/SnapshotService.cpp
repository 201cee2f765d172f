#include "core/models/SnapshotService.h"

#include "platform/LocalCalendar.h"

namespace norvane {

using platform::ascending;
using platform::descending;

void SnapshotService::saveSnapshot(const std::shared_ptr<Snapshot>& snapshot,
                                   const std::vector<std::shared_ptr<SnapshotLanguage>>& languages) {
    context_->insert(snapshot);
    for (const auto& row : languages) {
        row->snapshot = snapshot;
        context_->insert(row);
    }
    context_->save();
}

std::vector<std::shared_ptr<Snapshot>> SnapshotService::getSnapshots(const std::shared_ptr<Project>& project,
                                                                     std::optional<std::size_t> limit) {
    return context_->fetch<Snapshot>({.predicate = SnapshotField::project == project,
                                      .sortBy = {descending(SnapshotField::capturedAt)},
                                      .limit = limit});
}

std::vector<std::shared_ptr<Snapshot>> SnapshotService::getSnapshots(const std::shared_ptr<Project>& project,
                                                                     platform::Date from, platform::Date to) {
    return context_->fetch<Snapshot>({.predicate = SnapshotField::project == project &&
                                                   SnapshotField::capturedAt >= from && SnapshotField::capturedAt <= to,
                                      .sortBy = {ascending(SnapshotField::capturedAt)}});
}

std::shared_ptr<Snapshot> SnapshotService::getLatestSnapshot(const std::shared_ptr<Project>& project) {
    auto snapshots = getSnapshots(project, 1);
    return snapshots.empty() ? nullptr : snapshots.front();
}

std::vector<std::shared_ptr<Snapshot>> SnapshotService::getTodaysSnapshots(const std::shared_ptr<Project>& project) {
    const auto start = platform::LocalCalendar::startOfDay(clock_());
    const auto end = platform::LocalCalendar::addingDays(start, 1);
    // The next midnight belongs to tomorrow.
    return context_->fetch<Snapshot>({.predicate = SnapshotField::project == project &&
                                                   SnapshotField::capturedAt >= start &&
                                                   SnapshotField::capturedAt < end,
                                      .sortBy = {ascending(SnapshotField::capturedAt)}});
}

std::vector<std::shared_ptr<Snapshot>> SnapshotService::getPortfolioSnapshots(platform::Date from, platform::Date to) {
    return context_->fetch<Snapshot>({.predicate = SnapshotField::capturedAt >= from && SnapshotField::capturedAt <= to,
                                      .sortBy = {ascending(SnapshotField::capturedAt)}});
}

void SnapshotService::deleteSnapshots(const std::shared_ptr<Project>& project) {
    for (const auto& snapshot : getSnapshots(project)) context_->remove(snapshot);
    context_->save();
}

std::size_t SnapshotService::deleteGitHistorySnapshots(const std::shared_ptr<Project>& project, platform::Date after) {
    const auto snapshots = context_->fetch<Snapshot>(
        {.predicate = SnapshotField::project == project &&
                      SnapshotField::snapshotTypeRaw == std::string(platform::rawValue(SnapshotType::gitHistory)) &&
                      SnapshotField::capturedAt >= after});
    for (const auto& snapshot : snapshots) context_->remove(snapshot);
    context_->save();
    return snapshots.size();
}

} // namespace norvane
