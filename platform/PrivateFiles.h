#pragma once

#include <filesystem>

namespace norvane::platform {

/// Files and folders that a program keeps for its user alone, as ssh and gpg keep theirs: folders
/// 0700 and files 0600, whatever the umask, and those an earlier version left open to others
/// tightened.
namespace PrivateFiles {

/// Creates `folder` and each missing folder above it for the owner alone. Folders that exist are
/// left as they are. Throws `std::filesystem::filesystem_error`.
void createFolder(const std::filesystem::path& folder);

/// Creates an empty file for the owner alone unless something is at `file` already; where a
/// symbolic link there leads nowhere yet, the file is made where it leads. Files made later beside
/// it may take its mode (SQLite's -wal and -shm take the store's). Throws
/// `std::filesystem::filesystem_error`.
void createFile(const std::filesystem::path& file);

/// Takes the group's and others' rights from the file or folder at `path`, not through a link.
/// Nothing happens to a path that is missing, a link, or another user's.
void tighten(const std::filesystem::path& path);

} // namespace PrivateFiles
} // namespace norvane::platform
