#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string_view>

namespace norvane::platform {

/// Whole-file replacement: readers see the old content or the new, never a part, and a crash
/// right after a write keeps the new content.
namespace AtomicFile {

/// The mode a new file asks for; the process's umask (or the folder's default ACL) takes from it.
inline constexpr std::filesystem::perms defaultNewFileMode =
    std::filesystem::perms::owner_read | std::filesystem::perms::owner_write | std::filesystem::perms::group_read |
    std::filesystem::perms::others_read;

/// Read and write for the owner alone.
inline constexpr std::filesystem::perms privateFileMode =
    std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

/// Writes `contents` to a temporary file beside `path`, flushes it to disk, renames it over `path`
/// and flushes the folder. An existing file keeps its permission bits; a new one gets
/// `newFileMode` less the umask. Throws `std::system_error` whose text is
/// "Cannot write PATH: reason"; on failure the old file stays and no temporary file is left. The
/// temporary file has no name until it is complete, so a process killed while writing leaves
/// nothing either; what a killed write left where that cannot be (".NAME.XXXXXXXX") goes with the
/// next write of the same file.
void write(const std::filesystem::path& path, std::string_view contents,
           std::filesystem::perms newFileMode = defaultNewFileMode);

/// The same for contents that `produce` writes to the stream it is handed, a piece at a time, so
/// that they need not be held whole. What `produce` throws, or a failed write, leaves the old
/// file and no temporary one.
void write(const std::filesystem::path& path, const std::function<void(std::ostream&)>& produce,
           std::filesystem::perms newFileMode = defaultNewFileMode);

/// As `write`, for a file that only its owner may read: the file gets exactly `privateFileMode`,
/// whatever the umask and whatever was there before (a file with other rights, a link to a device).
void writePrivate(const std::filesystem::path& path, std::string_view contents);

} // namespace AtomicFile
} // namespace norvane::platform
