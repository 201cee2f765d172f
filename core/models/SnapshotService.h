#pragma once

#include "core/models/Snapshot.h"
#include "core/models/SnapshotLanguage.h"
#include "platform/persistence/ModelContext.h"

#include <memory>
#include <optional>
#include <vector>

namespace norvane {

/// The store operations on snapshots and their language rows.
class SnapshotService {
public:
    explicit SnapshotService(std::shared_ptr<platform::ModelContext> context,
                             platform::Clock clock = platform::systemClock())
        : context_(std::move(context)), clock_(std::move(clock)) {}
    virtual ~SnapshotService() = default;

    /// Inserts the snapshot and its rows, links each row to it, and saves once.
    virtual void saveSnapshot(const std::shared_ptr<Snapshot>& snapshot,
                              const std::vector<std::shared_ptr<SnapshotLanguage>>& languages);
    /// Newest first; all when `limit` is absent.
    virtual std::vector<std::shared_ptr<Snapshot>> getSnapshots(const std::shared_ptr<Project>& project,
                                                                std::optional<std::size_t> limit = std::nullopt);
    /// Captured within [from, to], oldest first.
    virtual std::vector<std::shared_ptr<Snapshot>> getSnapshots(const std::shared_ptr<Project>& project,
                                                                platform::Date from, platform::Date to);
    virtual std::shared_ptr<Snapshot> getLatestSnapshot(const std::shared_ptr<Project>& project);
    /// Captured within the current local day [start of day, start of next day), oldest first.
    virtual std::vector<std::shared_ptr<Snapshot>> getTodaysSnapshots(const std::shared_ptr<Project>& project);
    /// Every project's snapshots captured within [from, to], oldest first.
    virtual std::vector<std::shared_ptr<Snapshot>> getPortfolioSnapshots(platform::Date from, platform::Date to);
    virtual void deleteSnapshots(const std::shared_ptr<Project>& project);
    /// Deletes the project's "gitHistory" snapshots captured at or after `after`; returns how many.
    virtual std::size_t deleteGitHistorySnapshots(const std::shared_ptr<Project>& project, platform::Date after);

    const std::shared_ptr<platform::ModelContext>& context() const { return context_; }

private:
    std::shared_ptr<platform::ModelContext> context_;
    platform::Clock clock_;
};

} // namespace norvane
