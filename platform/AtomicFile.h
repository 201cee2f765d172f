#pragma once

#include <filesystem>
#include <string_view>

namespace norvane::platform {

/// Whole-file replacement: readers see the old content or the new, never a part.
namespace AtomicFile {

/// Writes `contents` to a temporary file beside `path`, flushes it to disk and renames it over
/// `path`. Throws `std::system_error`; on failure the old file stays and no temporary file is left.
void write(const std::filesystem::path& path, std::string_view contents);

} // namespace AtomicFile
} // namespace norvane::platform
