#include "core/models/ChosenFile.h"

#include "platform/AtomicFile.h"

#include <fmt/format.h>

#include <stdexcept>

namespace norvane {
namespace {

/// As many links as the system itself follows in one path.
constexpr int maximumLinks = 40;

/// The file that writing to `path` should replace: a symbolic link is followed to its target.
/// Anything but a regular file (a folder, a FIFO, a device) is refused rather than replaced.
std::filesystem::path regularFileTarget(const std::filesystem::path& path) {
    auto target = path;
    for (int links = 0; std::filesystem::is_symlink(target); ++links) {
        if (links == maximumLinks) {
            throw std::runtime_error(fmt::format("Cannot write {}: too many levels of symbolic links", path.string()));
        }
        const auto next = std::filesystem::read_symlink(target);
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    std::error_code error;
    const auto status = std::filesystem::status(target, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        throw std::runtime_error(fmt::format("Cannot write {}: it is not a regular file", path.string()));
    }
    return target;
}

} // namespace

ChosenFile::ChosenFile(const std::filesystem::path& path, const StorePathGuard& guard)
    : target_(regularFileTarget(path)) {
    guard.requireOtherFile(path);
}

void ChosenFile::write(const std::function<void(std::ostream&)>& produce) const {
    platform::AtomicFile::write(target_, produce);
}

void ChosenFile::write(std::string_view contents) const { platform::AtomicFile::write(target_, contents); }

} // namespace norvane
