#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QObject>

#include "Norvane/state/StoreChanges.h"
#include "Norvane/state/StoreWaitRetry.h"
#include "core/facade/NorvaneStore.h"
#include "core/reads/ProjectListing.h"

namespace norvane::app {

/// All projects in name order with their newest snapshot and commit, kept current: it reads them
/// again on every notice of the store's changes. One read of each project's newest rows, never its
/// history. While the file at the store's path cannot be opened as a store (another program's
/// file, a newer version's store), it lists none, as a start would show none. It reads on the
/// window's thread, which never waits for another program: one that holds the store sends the read
/// to a worker, whose list comes a moment later.
class ProjectListModel : public QObject {
    Q_OBJECT

public:
    /// Reads through `store` and follows the changes that `watched` sees.
    ProjectListModel(NorvaneStore store, NorvaneStore watched, QObject* parent = nullptr);
    /// Reads through `store` and follows its changes.
    explicit ProjectListModel(NorvaneStore store, QObject* parent = nullptr);

    const std::vector<ProjectListing>& projects() const { return projects_; }
    /// The store the list reads, for the pages that read it too.
    const NorvaneStore& store() const { return store_; }
    /// Why the file at the store's path cannot be opened as a store, while it cannot.
    const std::optional<std::string>& storeFailure() const { return storeFailure_; }
    /// Reads again now.
    void reload();

signals:
    void changed();

private:
    /// Reads on a worker, over a connection of its own.
    void readElsewhere(std::uint64_t generation);
    /// Takes a read's projects in, or keeps those shown when it read none.
    void take(std::optional<std::vector<ProjectListing>> projects);

    NorvaneStore store_;
    std::vector<ProjectListing> projects_;
    std::optional<std::string> storeFailure_;
    /// The latest read asked for: a worker's read that a later one overtook is dropped.
    std::uint64_t generation_ = 0;
    StoreWaitRetry retry_;
    StoreChanges changes_;
};

} // namespace norvane::app
