#pragma once

#include "core/models/Project.h"
#include "platform/persistence/ModelContext.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norvane {

/// The store operations on projects: create with its checks, list, look up, touch, archive and
/// delete. Every change saves the context.
class ProjectService {
public:
    explicit ProjectService(std::shared_ptr<platform::ModelContext> context) : context_(std::move(context)) {}
    virtual ~ProjectService() = default;

    /// Fails with NorvaneError duplicateName, then pathNotFound, pathNotDirectory or
    /// pathNotReadable, before anything is written.
    virtual std::shared_ptr<Project> createProject(const std::string& name, const std::string& path,
                                                   const std::optional<std::string>& description,
                                                   ProjectType projectType);
    /// Sorted by name in the localized standard order.
    virtual std::vector<std::shared_ptr<Project>> getAllProjects(bool includeArchived = false);
    virtual std::shared_ptr<Project> getProject(const std::string& name);
    virtual std::shared_ptr<Project> getProject(const platform::Uuid& id);
    virtual void updateProject(const std::shared_ptr<Project>& project);
    virtual void archiveProject(const std::shared_ptr<Project>& project);
    virtual void deleteProject(const std::shared_ptr<Project>& project);

    const std::shared_ptr<platform::ModelContext>& context() const { return context_; }

private:
    std::shared_ptr<platform::ModelContext> context_;
};

} // namespace norvane
