#include "core/collection/RepositoryPlace.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace norvane::RepositoryPlace {
namespace {

/// The names a path is made of, from its root on, without the empty one of a trailing separator.
std::vector<std::filesystem::path> namesOf(const std::filesystem::path& path) {
    std::vector<std::filesystem::path> names;
    for (const auto& name : path.lexically_normal()) {
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

/// How many levels `folder` lies below `top`, comparing whole names; none when it lies neither
/// there nor below.
std::optional<std::size_t> levelsBelow(const std::filesystem::path& top, const std::filesystem::path& folder) {
    const auto above = namesOf(top);
    const auto below = namesOf(folder);
    if (above.size() > below.size() || !std::equal(above.begin(), above.end(), below.begin())) return std::nullopt;
    return below.size() - above.size();
}

/// Where the folder really is, its links followed as git follows them.
std::filesystem::path realPlace(const std::string& path) {
    std::error_code error;
    auto real = std::filesystem::weakly_canonical(path, error);
    return error ? std::filesystem::path(path) : real;
}

} // namespace

std::optional<std::size_t> levelsAbove(const std::string& path, const std::string& workTree) {
    return levelsBelow(workTree, realPlace(path));
}

std::optional<std::size_t> bookedLevelsAbove(const std::string& path, const std::string& booked) {
    if (const auto levels = levelsAbove(path, booked)) return levels;
    return levelsBelow(booked, path);
}

} // namespace norvane::RepositoryPlace
