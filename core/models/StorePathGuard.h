#pragma once

#include <filesystem>

namespace norvane {

/// Keeps a file that the user chose to write from landing on the store: the store file and the
/// files SQLite keeps beside it (-wal, -shm, -journal), however the chosen path reaches them. Every
/// file the programs write at a path the user gave goes through it.
class StorePathGuard {
public:
    /// The store at its usual place.
    StorePathGuard();
    explicit StorePathGuard(std::filesystem::path storeFile);

    /// Whether writing `path` would replace the store or a file beside it. Told by identity, not by
    /// spelling: the same file (device and inode: a hard link, a symbolic link, relative steps), or
    /// the same name in the same folder (the folder's device and inode: a side file not made yet, a
    /// folder reached through a link or a bind mount). A symbolic link counts for itself and for
    /// every link and file it leads to.
    bool isStoreFile(const std::filesystem::path& path) const;
    /// Fails with std::runtime_error, saying why and naming both files, when `path` is one of them.
    void requireOtherFile(const std::filesystem::path& path) const;

private:
    std::filesystem::path storeFile_;
};

} // namespace norvane
