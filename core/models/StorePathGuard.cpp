#include "core/models/StorePathGuard.h"

#include "core/models/NorvaneDatabase.h"

#include "platform/FileIdentity.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace norvane {
namespace {

/// The store file and the files SQLite keeps beside it.
constexpr std::array<const char*, 4> storeFileSuffixes{"", "-wal", "-shm", "-journal"};
/// As many links as the system itself follows in one path.
constexpr int maximumChainLinks = 40;

std::filesystem::path folderOf(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

/// `path`, then each place that a symbolic link there leads to, in turn.
std::vector<std::filesystem::path> linkChain(const std::filesystem::path& path) {
    std::vector<std::filesystem::path> chain{path};
    std::error_code error;
    while (chain.size() <= maximumChainLinks && std::filesystem::is_symlink(chain.back(), error)) {
        const auto target = std::filesystem::read_symlink(chain.back(), error);
        if (error) break;
        chain.push_back(target.is_absolute() ? target : folderOf(chain.back()) / target);
    }
    return chain;
}

/// The same file, or the same name in the same folder.
bool samePlace(const std::filesystem::path& path, const std::filesystem::path& storeSide) {
    const auto file = platform::FileIdentity::of(path);
    if (file && file == platform::FileIdentity::of(storeSide)) return true;
    if (!path.has_filename() || path.filename() != storeSide.filename()) return false;
    const auto folder = platform::FileIdentity::of(folderOf(path));
    return folder && folder == platform::FileIdentity::of(folderOf(storeSide));
}

} // namespace

StorePathGuard::StorePathGuard() : StorePathGuard(NorvaneDatabase::containerURL()) {}

StorePathGuard::StorePathGuard(std::filesystem::path storeFile) : storeFile_(std::move(storeFile)) {}

bool StorePathGuard::isStoreFile(const std::filesystem::path& path) const {
    const auto chain = linkChain(path);
    return std::any_of(storeFileSuffixes.begin(), storeFileSuffixes.end(), [&](const char* suffix) {
        const std::filesystem::path storeSide = storeFile_.string() + suffix;
        return std::any_of(chain.begin(), chain.end(),
                           [&](const std::filesystem::path& place) { return samePlace(place, storeSide); });
    });
}

void StorePathGuard::requireOtherFile(const std::filesystem::path& path) const {
    if (isStoreFile(path)) {
        throw std::runtime_error(
            fmt::format("Cannot write {}: it would overwrite the Norvane store ({}); choose another file",
                        path.string(), storeFile_.string()));
    }
}

} // namespace norvane
