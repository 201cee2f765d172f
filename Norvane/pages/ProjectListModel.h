#pragma once

#include <memory>
#include <vector>

#include <QObject>
#include <QTimer>

#include "core/models/Project.h"
#include "platform/persistence/ModelContainer.h"
#include "platform/persistence/ModelContext.h"

namespace norvane::app {

/// All projects in name order, kept current: it fetches again after every save through the
/// container (from any thread) and when another process has changed the store file.
class ProjectListModel : public QObject {
    Q_OBJECT

public:
    explicit ProjectListModel(std::shared_ptr<platform::ModelContainer> container, QObject* parent = nullptr);

    const std::vector<std::shared_ptr<Project>>& projects() const { return projects_; }
    /// The store the list reads, for the pages that read it too.
    const std::shared_ptr<platform::ModelContainer>& container() const { return container_; }
    /// Fetches again now.
    void reload();

signals:
    void changed();

private:
    std::shared_ptr<platform::ModelContainer> container_;
    /// The records reach their snapshots through it, so it lives as long as they are shown.
    std::shared_ptr<platform::ModelContext> context_;
    std::vector<std::shared_ptr<Project>> projects_;
    platform::ObserverRegistration registration_;
    QTimer externalChanges_;
};

} // namespace norvane::app
