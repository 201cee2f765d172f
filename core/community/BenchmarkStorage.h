#pragma once

#include "core/community/AnonymousActivityReport.h"
#include "core/community/CachedBenchmarks.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace norvane {

/// The benchmark client's files in the store's folder: "pending-reports.json",
/// "benchmarks-cache.json" and "forgotten-devices.json", the device ids that were deleted or
/// replaced. A missing or broken queue or cache reads as empty, and a write that fails leaves the
/// old file and says why. Only regular files of at most `maxFileBytes` are read; anything else in
/// their place (a FIFO, a device, a huge file) reads as empty and is replaced by the next write.
/// Every file and the folder are for their owner alone; a file that an earlier version left open to
/// others is tightened when it is read.
class BenchmarkStorage {
public:
    static constexpr const char* pendingReportsFileName = "pending-reports.json";
    static constexpr const char* benchmarksCacheFileName = "benchmarks-cache.json";
    static constexpr const char* forgottenDevicesFileName = "forgotten-devices.json";
    /// Far above what a full queue or a cache takes (a few kilobytes per report, fewer for the
    /// cache), far below what would strain memory.
    static constexpr std::size_t maxFileBytes = 1024 * 1024;

    explicit BenchmarkStorage(std::filesystem::path folder) : folder_(std::move(folder)) {}

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path pendingReportsFile() const { return folder_ / pendingReportsFileName; }
    std::filesystem::path benchmarksCacheFile() const { return folder_ / benchmarksCacheFileName; }
    std::filesystem::path forgottenDevicesFile() const { return folder_ / forgottenDevicesFileName; }

    /// Why a file could not be written; none when it was.
    using WriteFailure = std::optional<std::string>;

    /// The reports in file order; empty when the file is missing, unreadable, not a regular file of
    /// a sane size, or any report in it does not decode.
    std::vector<AnonymousActivityReport> loadPendingReports() const;
    WriteFailure savePendingReports(const std::vector<AnonymousActivityReport>& reports) const;
    /// Removes the queue's file, if there is one.
    WriteFailure removePendingReports() const;

    /// None when the file is missing, unreadable or does not decode.
    std::optional<CachedBenchmarks> loadBenchmarkCache() const;
    WriteFailure saveBenchmarkCache(const CachedBenchmarks& cache) const;

    /// Empty when the file is missing; none when it is there but cannot be read or does not
    /// decode, so that nothing queued is taken for safe to send.
    std::optional<std::set<std::string>> loadForgottenDeviceIds() const;
    WriteFailure saveForgottenDeviceIds(const std::set<std::string>& deviceIds) const;

private:
    std::optional<std::string> read(const std::filesystem::path& file) const;
    WriteFailure write(const std::filesystem::path& file, const std::string& contents) const;

    std::filesystem::path folder_;
};

} // namespace norvane
