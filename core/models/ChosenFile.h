#pragma once

#include "core/models/StorePathGuard.h"

#include <filesystem>
#include <functional>
#include <ostream>
#include <string_view>

namespace norvane {

/// A file that the user chose to write an export or a picture to, written the same way from the
/// tool and the application: atomically, at the place that a symbolic link there leads to (the
/// link stays), never over anything but a regular file, and never onto the store or the files
/// beside it.
class ChosenFile {
public:
    /// Checks `path` before anything is made for it: fails with std::runtime_error, naming `path`,
    /// when it leads through too many links, to something that is not a regular file, or onto the
    /// store.
    explicit ChosenFile(const std::filesystem::path& path, const StorePathGuard& guard = StorePathGuard());

    /// Where the contents land.
    const std::filesystem::path& target() const { return target_; }

    /// Replaces the target with what `produce` writes, as `platform::AtomicFile::write` does.
    void write(const std::function<void(std::ostream&)>& produce) const;
    void write(std::string_view contents) const;

private:
    std::filesystem::path target_;
};

} // namespace norvane
