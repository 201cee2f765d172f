#pragma once

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <QObject>
#include <QTimer>

#include "Norvane/pages/LatestRequestLoader.h"
#include "Norvane/pages/ProjectRowModel.h"
#include "core/models/Project.h"
#include "platform/persistence/ModelContainer.h"
#include "platform/persistence/ModelContext.h"

namespace norvane::app {

/// All projects in name order, kept current: it fetches again after every save through the
/// container (from any thread) and when another process has changed the store file. Each
/// project's newest recorded commit, which takes a read of its snapshots, follows off the GUI
/// thread.
class ProjectListModel : public QObject {
    Q_OBJECT

public:
    using CommitSummaries = std::map<platform::Uuid, std::optional<CommitSummary>>;

    explicit ProjectListModel(std::shared_ptr<platform::ModelContainer> container, QObject* parent = nullptr);

    const std::vector<std::shared_ptr<Project>>& projects() const { return projects_; }
    /// The store the list reads, for the pages that read it too.
    const std::shared_ptr<platform::ModelContainer>& container() const { return container_; }
    /// Fetches again now.
    void reload();
    /// By project id, as of the last read; a project not read yet has no entry.
    const CommitSummaries& commitSummaries() const { return commitSummaries_; }

signals:
    void changed();
    void commitSummariesChanged();

private:
    void loadCommitSummaries();

    std::shared_ptr<platform::ModelContainer> container_;
    /// The records reach their snapshots through it, so it lives as long as they are shown.
    std::shared_ptr<platform::ModelContext> context_;
    std::vector<std::shared_ptr<Project>> projects_;
    platform::ObserverRegistration registration_;
    QTimer externalChanges_;
    CommitSummaries commitSummaries_;
    LatestRequestLoader<CommitSummaries> summaryLoader_{*this};
};

} // namespace norvane::app
