#include "core/models/ProjectInput.h"

#include "platform/XdgPaths.h"

#include <filesystem>
#include <stdexcept>

namespace norvane::ProjectInput {

void checkName(const std::string& name) {
    if (name.find_first_not_of(" \t\r\n") == std::string::npos) {
        throw std::invalid_argument("The project name must not be empty");
    }
}

std::string absoluteFolder(const std::string& typed) {
    if (typed.empty()) return typed;
    auto folder = std::filesystem::absolute(platform::XdgPaths::expandingHome(typed)).lexically_normal();
    if (!folder.has_filename() && folder.has_relative_path()) folder = folder.parent_path();
    return folder.string();
}

} // namespace norvane::ProjectInput
