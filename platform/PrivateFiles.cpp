#include "platform/PrivateFiles.h"

#include <cerrno>
#include <optional>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvane::platform::PrivateFiles {

namespace {

constexpr mode_t privateFolderMode = 0700;
constexpr mode_t privateFileMode = 0600;
constexpr mode_t othersRights = 077;

/// As many links in a row as the kernel follows.
constexpr int maxLinks = 40;

/// Where the symbolic link at `path` leads, when nothing is there; none for anything else.
std::optional<std::filesystem::path> danglingLinkTarget(const std::filesystem::path& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode) || ::stat(path.c_str(), &status) == 0 ||
        errno != ENOENT) {
        return std::nullopt;
    }
    std::error_code error;
    const auto target = std::filesystem::read_symlink(path, error);
    if (error) return std::nullopt;
    return path.parent_path() / target;
}

[[noreturn]] void fail(const char* what, const std::filesystem::path& path, int error) {
    throw std::filesystem::filesystem_error(what, path, std::error_code(error, std::generic_category()));
}

} // namespace

void createFolder(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> missing;
    std::error_code error;
    for (auto path = folder; !path.empty() && !std::filesystem::exists(path, error); path = path.parent_path()) {
        missing.push_back(path);
        if (path == path.parent_path()) break;
    }
    for (auto path = missing.rbegin(); path != missing.rend(); ++path) {
        if (::mkdir(path->c_str(), privateFolderMode) != 0 && errno != EEXIST) {
            fail("Cannot create the folder", *path, errno);
        }
        // The umask may have taken the owner's rights too.
        if (::chmod(path->c_str(), privateFolderMode) != 0) {
            fail("Cannot create the folder", *path, errno);
        }
    }
    if (!std::filesystem::is_directory(folder, error)) {
        fail("Cannot create the folder", folder, error ? error.value() : ENOTDIR);
    }
}

void createFile(const std::filesystem::path& file) {
    auto path = file;
    for (int links = 0;; ++links) {
        const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, privateFileMode);
        if (descriptor >= 0) {
            const int changed = ::fchmod(descriptor, privateFileMode);
            const int error = errno;
            ::close(descriptor);
            if (changed != 0) fail("Cannot create the file", path, error);
            return;
        }
        if (errno != EEXIST) fail("Cannot create the file", path, errno);
        // A link that leads nowhere yet: whatever opens it would make the file where it leads.
        const auto target = danglingLinkTarget(path);
        if (!target || links == maxLinks) return;
        path = *target;
    }
}

void tighten(const std::filesystem::path& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || S_ISLNK(status.st_mode) || status.st_uid != ::geteuid() ||
        (status.st_mode & othersRights) == 0) {
        return;
    }
    // A failure leaves the rights as they were: nothing here may stop the program.
    static_cast<void>(::chmod(path.c_str(), status.st_mode & 07777 & ~othersRights));
}

} // namespace norvane::platform::PrivateFiles
