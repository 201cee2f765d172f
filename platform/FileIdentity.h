#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace norvane::platform {

/// Which file a path or a descriptor leads to: its device and inode. One path may name another
/// file later, and one file may have several names.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;

    /// The file at `path`, following symbolic links; none when there is none or it cannot be seen.
    static std::optional<FileIdentity> of(const std::filesystem::path& path);
    /// The file that `descriptor` has open.
    static std::optional<FileIdentity> of(int descriptor);
};

} // namespace norvane::platform
