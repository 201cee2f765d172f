#pragma once

#include <vector>

#include <QObject>
#include <QTimer>

#include "core/facade/NorvaneStore.h"
#include "core/reads/ProjectListing.h"

namespace norvane::app {

/// All projects in name order with their newest snapshot and commit, kept current: it reads them
/// again after every save through the store's connection (from any thread) and when another
/// process has changed the store file. One read of each project's newest rows, never its history.
class ProjectListModel : public QObject {
    Q_OBJECT

public:
    explicit ProjectListModel(NorvaneStore store, QObject* parent = nullptr);

    const std::vector<ProjectListing>& projects() const { return projects_; }
    /// The store the list reads, for the pages that read it too.
    const NorvaneStore& store() const { return store_; }
    /// Reads again now.
    void reload();

signals:
    void changed();

private:
    NorvaneStore store_;
    std::vector<ProjectListing> projects_;
    NorvaneStore::Observation observation_;
    QTimer externalChanges_;
};

} // namespace norvane::app
