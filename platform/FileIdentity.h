#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

    /// The files that a process ("self" for this one) has open, each with its descriptor; none when
    /// they cannot be listed (another user's process, one that ended).
    static std::optional<std::vector<std::pair<FileIdentity, int>>> openBy(const std::string& process);
    /// Where this file, which this process has open, is now, as the system names the file a
    /// descriptor leads to; none when it was deleted or this process has it open no more.
    std::optional<std::filesystem::path> whereOpen() const;
};

} // namespace norvane::platform
