#include "norvane-cli/Command.h"

#include "core/models/NorvaneError.h"

namespace norvane::cli {

std::shared_ptr<Project> requireProject(NorvaneKit& kit, const std::string& name) {
    auto project = kit.findProject(name);
    if (!project) {
        throw NorvaneError::projectNotFound(name);
    }
    return project;
}

} // namespace norvane::cli
