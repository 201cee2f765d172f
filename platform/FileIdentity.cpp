#include "platform/FileIdentity.h"

#include <sys/stat.h>

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

} // namespace norvane::platform
