#include "core/models/ProjectService.h"

#include "core/models/NorvaneError.h"
#include "platform/persistence/StoreError.h"

#include <filesystem>

namespace norvane {

std::shared_ptr<Project> ProjectService::createProject(const std::string& name, const std::string& path,
                                                       const std::optional<std::string>& description,
                                                       ProjectType projectType) {
    if (!context_->fetch<Project>({.predicate = ProjectField::name == name}).empty()) {
        throw NorvaneError::duplicateName(name);
    }
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (path.empty() || !std::filesystem::exists(status)) throw NorvaneError::pathNotFound(path);
    if (!std::filesystem::is_directory(status)) throw NorvaneError::pathNotDirectory(path);
    std::filesystem::directory_iterator(path, error);
    if (error) throw NorvaneError::pathNotReadable(path);

    auto project = Project::create(name, path, description, projectType);
    context_->insert(project);
    try {
        context_->save();
    } catch (const platform::UniqueConstraintError&) {
        // Another process took the name between the check and the save.
        if (!context_->fetch<Project>({.predicate = ProjectField::name == name}).empty()) {
            throw NorvaneError::duplicateName(name);
        }
        throw;
    }
    return project;
}

std::vector<std::shared_ptr<Project>> ProjectService::getAllProjects(bool includeArchived) {
    auto projects = context_->fetch<Project>({.sortBy = {platform::localizedAscending(ProjectField::name)}});
    if (!includeArchived) {
        std::erase_if(projects, [](const auto& project) { return project->status == ProjectStatus::archived; });
    }
    return projects;
}

std::shared_ptr<Project> ProjectService::getProject(const std::string& name) {
    auto found = context_->fetch<Project>({.predicate = ProjectField::name == name, .limit = 1});
    return found.empty() ? nullptr : found.front();
}

std::shared_ptr<Project> ProjectService::getProject(const platform::Uuid& id) {
    auto found = context_->fetch<Project>({.predicate = ProjectField::id == id, .limit = 1});
    return found.empty() ? nullptr : found.front();
}

void ProjectService::updateProject(const std::shared_ptr<Project>& project) {
    project->updatedAt = platform::currentDate();
    context_->save();
}

void ProjectService::archiveProject(const std::shared_ptr<Project>& project) {
    project->status = ProjectStatus::archived;
    project->updatedAt = platform::currentDate();
    context_->save();
}

void ProjectService::deleteProject(const std::shared_ptr<Project>& project) {
    context_->remove(project);
    context_->save();
}

} // namespace norvane
