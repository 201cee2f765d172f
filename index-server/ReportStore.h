#pragma once

#include "core/community/AnonymousActivityReport.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace norvane::indexserver {

/// One contributor's totals over its reports: over all of them, or over those of one size bucket.
struct ContributorTotals {
    std::string sizeBucket; ///< empty for the totals over all buckets
    std::int64_t activeDays = 0;
    std::string firstDay; ///< the earliest activity date, as received
    std::string lastDay;
    double codeLines = 0;
    double docsLines = 0;
    double testLines = 0;
    double configLines = 0;
    /// The mean of the percentages it reported within the range a report may hold.
    std::optional<double> velocityRetention;
};

/// Which reports the totals over all size buckets take in.
struct TotalsScope {
    std::vector<std::string> buckets; ///< only the reports of these buckets
    /// Of those, only these buckets' reports count for velocity retention.
    std::vector<std::string> retentionBuckets;
};

/// The received reports in one SQLite file (":memory:" for none). Safe to call from the server's
/// request threads. The totals are read on a connection of their own (for a file), so that
/// reading them never holds up the reports being stored; the number of contributors is kept in
/// memory, so that reading it never waits for either.
class ReportStore {
public:
    using Visitor = std::function<void(const ContributorTotals&)>;

    /// The size that the write-ahead log is cut back to. It grows beyond while a read of the totals
    /// holds the reports in it back from the file; once the read ends, they are copied over and the
    /// next report starts the log over, cut back to this.
    static constexpr std::int64_t logBytesKept = 8 * 1024 * 1024;

    /// Opens or creates the file (see `HeldDataFile`); refuses, unchanged and naming what is foreign,
    /// a file that holds anything but the reports' table and index as the service makes them (a
    /// trigger, a view).
    explicit ReportStore(const std::string& path);
    ~ReportStore();
    ReportStore(const ReportStore&) = delete;
    ReportStore& operator=(const ReportStore&) = delete;

    /// Tells `told` each time the store goes on with another file: the file at its path was
    /// deleted or replaced, which the next call that reads or writes reports notices. Set before
    /// the store is used from other threads.
    void whenReopened(std::function<void()> told);

    void insert(const AnonymousActivityReport& report);
    /// Whether any report of `deviceId` is stored.
    bool hasDevice(const std::string& deviceId);
    /// The stored reports of `deviceId` whose activity date falls on the UTC date `day`.
    std::int64_t reportsOfDeviceOnDay(const std::string& deviceId, std::chrono::sys_days day);
    /// Removes every report of `deviceId`; returns how many there were.
    std::int64_t deleteDevice(const std::string& deviceId);
    /// The number of devices with stored reports.
    std::int64_t contributorCount() const;
    std::int64_t reportCount();
    /// Calls `perBucket` with each contributor's totals per size bucket, then `overall` with its
    /// totals over the reports that `scope` takes in, all from one state of the store: `scope` is
    /// asked in between, once `perBucket` has seen every bucket. Holds one contributor's totals at
    /// a time, however many reports there are. Then copies into the file what the write-ahead log
    /// holds, here rather than on the way of the next report.
    void readContributors(const Visitor& perBucket, const std::function<TotalsScope()>& scope, const Visitor& overall);

private:
    struct OpenFile;

    /// The file open, or the one now at the path when the one open is no longer there (deleted,
    /// replaced, moved away), so that no report goes into a file that no one opens again. Throws
    /// when the file at the path cannot be opened; the caller holds `mutex_`.
    OpenFile& currentFile();
    bool holdsDevice(const std::string& deviceId);

    const std::string path_;
    std::function<void()> reopened_;
    std::mutex mutex_;
    std::atomic<std::int64_t> contributors_ = 0;
    std::mutex readerMutex_;
    /// Replaced under both mutexes; none after the file at the path could not be opened.
    std::unique_ptr<OpenFile> file_;
};

} // namespace norvane::indexserver
