#include "platform/FileIdentity.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace norvane::platform {
namespace {

FileIdentity identityIn(const struct stat& status) {
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

} // namespace

std::optional<FileIdentity> FileIdentity::of(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    return identityIn(status);
}

std::optional<FileIdentity> FileIdentity::of(int descriptor) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) return std::nullopt;
    return identityIn(status);
}

std::optional<std::vector<std::pair<FileIdentity, int>>> FileIdentity::openBy(const std::string& process) {
    const std::string folder = "/proc/" + process + "/fd/";
    DIR* listing = ::opendir(folder.c_str());
    if (!listing) return std::nullopt;
    std::vector<std::pair<FileIdentity, int>> files;
    while (const dirent* entry = ::readdir(listing)) {
        if (entry->d_name[0] == '.') continue;
        if (const auto identity = of(folder + entry->d_name)) files.emplace_back(*identity, std::atoi(entry->d_name));
    }
    ::closedir(listing);
    return files;
}

std::optional<std::filesystem::path> FileIdentity::whereOpen() const {
    const auto files = openBy("self");
    if (!files) return std::nullopt;
    const auto found =
        std::find_if(files->begin(), files->end(), [&](const auto& file) { return file.first == *this; });
    if (found == files->end()) return std::nullopt;
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(found->second), error);
    constexpr std::string_view deletedMark = " (deleted)";
    if (error || path.string().ends_with(deletedMark)) return std::nullopt;
    return path;
}

} // namespace norvane::platform
