#pragma once

#include "core/community/AnonymousActivityReport.h"
#include "core/community/CachedBenchmarks.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

namespace norvane {

/// The benchmark client's two files, "pending-reports.json" and "benchmarks-cache.json", in the
/// store's folder. Failures are silent by design: a missing or broken file reads as empty, and a
/// write that fails leaves the old file and the data in memory. Only regular files of at most
/// `maxFileBytes` are read; anything else in their place (a FIFO, a device, a huge file) reads as
/// empty and is replaced by the next write.
class BenchmarkStorage {
public:
    static constexpr const char* pendingReportsFileName = "pending-reports.json";
    static constexpr const char* benchmarksCacheFileName = "benchmarks-cache.json";
    /// Far above what a full queue or a cache takes (a few kilobytes per report, fewer for the
    /// cache), far below what would strain memory.
    static constexpr std::size_t maxFileBytes = 1024 * 1024;

    explicit BenchmarkStorage(std::filesystem::path folder) : folder_(std::move(folder)) {}

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path pendingReportsFile() const { return folder_ / pendingReportsFileName; }
    std::filesystem::path benchmarksCacheFile() const { return folder_ / benchmarksCacheFileName; }

    /// The reports in file order; empty when the file is missing, unreadable, not a regular file of
    /// a sane size, or any report in it does not decode.
    std::vector<AnonymousActivityReport> loadPendingReports() const;
    void savePendingReports(const std::vector<AnonymousActivityReport>& reports) const;

    /// None when the file is missing, unreadable or does not decode.
    std::optional<CachedBenchmarks> loadBenchmarkCache() const;
    void saveBenchmarkCache(const CachedBenchmarks& cache) const;

private:
    std::optional<std::string> read(const std::filesystem::path& file) const;
    void write(const std::filesystem::path& file, const std::string& contents) const;

    std::filesystem::path folder_;
};

} // namespace norvane
