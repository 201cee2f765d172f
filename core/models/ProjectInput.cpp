#include "core/models/ProjectInput.h"

#include "platform/XdgPaths.h"

#include <filesystem>
#include <stdexcept>

namespace norvane::ProjectInput {
namespace {

/// "~" and "~/..." name the home folder; "~user" is left as it stands.
std::filesystem::path expandingHome(const std::string& typed) {
    if (typed == "~") return platform::XdgPaths::homeFolder();
    if (typed.starts_with("~/")) return platform::XdgPaths::homeFolder() / typed.substr(2);
    return typed;
}

} // namespace

void checkName(const std::string& name) {
    if (name.find_first_not_of(" \t\r\n") == std::string::npos) {
        throw std::invalid_argument("The project name must not be empty");
    }
}

std::string absoluteFolder(const std::string& typed) {
    if (typed.empty()) return typed;
    auto folder = std::filesystem::absolute(expandingHome(typed)).lexically_normal();
    if (!folder.has_filename() && folder.has_relative_path()) folder = folder.parent_path();
    return folder.string();
}

} // namespace norvane::ProjectInput
