#pragma once

#include "platform/FileDescriptor.h"

#include <cstdint>
#include <filesystem>

namespace norvane::platform {

/// Says that a piece of work still runs, to any process that asks, for as long as it lives: a shared
/// lock on one byte of a file, held through an open file description of its own (F_OFD_SETLK). So a
/// question from the holder's own process sees it as well as one from another, several holders may
/// hold one byte at once, and the system lets go of it however the holder ends (SIGKILL too). The
/// last mark to end removes the file, as SQLite's last connection removes a store's log.
class RunningMark {
public:
    /// Holds nothing.
    RunningMark() = default;
    /// Holds the byte at `offset` of `file`, which is made for its owner alone when missing; holds
    /// nothing where the file cannot be made or opened to write.
    RunningMark(const std::filesystem::path& file, std::uint64_t offset);
    ~RunningMark();
    RunningMark(RunningMark&& other) noexcept = default;
    RunningMark& operator=(RunningMark&& other) noexcept;

    /// Whether any mark holds the byte at `offset` of `file`; false where there is no such file.
    static bool isHeld(const std::filesystem::path& file, std::uint64_t offset);

private:
    void release();

    std::filesystem::path path_;
    FileDescriptor file_;
};

} // namespace norvane::platform
