#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace norvane {

/// Where a project's repository lies, seen from the project's folder: how many levels above the
/// folder its work tree begins (none for a folder that is a repository, one for a folder of its
/// top level, and so on). The repository git finds from the folder is the project's when its work
/// tree begins as many levels above the folder as the booked one did, whatever it holds and
/// wherever the folder really is now: in place, or moved with a link left where it was.
namespace RepositoryPlace {

/// How many levels above the folder `path` the work tree `workTree` (a real path, as git names it)
/// begins, counted from where the folder really is, as git counts them; none when it begins
/// neither there nor above.
std::optional<std::size_t> levelsAbove(const std::string& path, const std::string& workTree);
/// How many levels above the folder `path` the work tree its rows were booked from, kept as
/// `booked`, began: as `levelsAbove` counts them where it is one of the folders above where the
/// folder really is, else from the folder's path as the project names it, which a link left where
/// the folder was leads through; none where neither tells (a folder reached through a link whose
/// target moved since).
std::optional<std::size_t> bookedLevelsAbove(const std::string& path, const std::string& booked);

} // namespace RepositoryPlace
} // namespace norvane
