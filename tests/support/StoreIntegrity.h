#pragma once

#include <filesystem>
#include <string>

namespace norvane::testing {

/// What SQLite's own check says of the store file, read as another program reads it: "ok" when it
/// is whole, else its first complaint or why it could not be read.
std::string integrityOf(const std::filesystem::path& file);

} // namespace norvane::testing
