#pragma once

#include "core/community/AnonymousActivityReport.h"
#include "platform/persistence/Database.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace norvane::indexserver {

/// The figures of one received report that the benchmarks are computed from.
struct StoredReport {
    std::string deviceId;
    std::string activityDay; ///< the UTC instant of the activity date, as received
    std::string sizeBucket;
    std::int64_t codeLinesChanged = 0;
    std::int64_t docsLinesChanged = 0;
    std::int64_t testLinesChanged = 0;
    std::int64_t configLinesChanged = 0;
    std::optional<double> velocityRetention;
};

/// The received reports in one SQLite file (":memory:" for none). Safe to call from the server's
/// request threads.
class ReportStore {
public:
    explicit ReportStore(const std::string& path);

    void insert(const AnonymousActivityReport& report);
    /// Removes every report of `deviceId`; returns how many there were.
    std::int64_t deleteDevice(const std::string& deviceId);
    std::int64_t contributorCount();
    std::int64_t reportCount();
    std::vector<StoredReport> all();

private:
    std::int64_t count(const char* sql);

    std::mutex mutex_;
    platform::Database database_;
};

} // namespace norvane::indexserver
