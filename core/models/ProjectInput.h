#pragma once

#include <string>

namespace norvane {

/// What a person types to add a project, made fit for the store the same way wherever it is typed
/// (the command line, the application's sheets).
namespace ProjectInput {

/// Throws std::invalid_argument "The project name must not be empty" for a name that is empty or
/// only white space; any other name stands as typed.
void checkName(const std::string& name);

/// The folder as an absolute path without "." or ".." parts or a trailing separator, so that the
/// daily run finds it from any working folder: a leading "~" is the home folder, a relative path
/// starts at the working folder. An empty text stays empty and fails as not found.
std::string absoluteFolder(const std::string& typed);

} // namespace ProjectInput
} // namespace norvane
