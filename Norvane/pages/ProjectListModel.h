#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QObject>

#include "Norvane/state/StoreChanges.h"
#include "core/facade/NorvaneStore.h"
#include "core/reads/ProjectListing.h"

namespace norvane::app {

/// All projects in name order with their newest snapshot and commit, kept current: it reads them
/// again on every notice of the store's changes. One read of each project's newest rows, never its
/// history. While the file at the store's path cannot be opened as a store (another program's
/// file, a newer version's store), it lists none, as a start would show none.
class ProjectListModel : public QObject {
    Q_OBJECT

public:
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
    NorvaneStore store_;
    std::vector<ProjectListing> projects_;
    std::optional<std::string> storeFailure_;
    StoreChanges changes_;
};

} // namespace norvane::app
