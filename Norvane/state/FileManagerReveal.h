#pragma once

#include <filesystem>

namespace norvane::app {

/// Shows a file or a folder in the desktop's file manager.
namespace FileManagerReveal {

/// Asks the file manager to show `file` selected (the freedesktop FileManager1 interface on the
/// session bus); when none answers, opens the file's folder instead. Returns at once.
void showItem(const std::filesystem::path& file);
/// Opens the file manager on `folder` itself (through the desktop's handler of folder URLs).
void showFolder(const std::filesystem::path& folder);

} // namespace FileManagerReveal
} // namespace norvane::app
