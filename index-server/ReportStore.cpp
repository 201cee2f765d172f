#include "index-server/ReportStore.h"

#include "core/community/JsonCoding.h"

namespace norvane::indexserver {

namespace {

constexpr const char* schema = R"(
CREATE TABLE IF NOT EXISTS reports (
    id INTEGER PRIMARY KEY,
    device_id TEXT NOT NULL,
    activity_date TEXT NOT NULL,
    size_bucket TEXT NOT NULL,
    code_lines_changed INTEGER NOT NULL,
    docs_lines_changed INTEGER NOT NULL,
    test_lines_changed INTEGER NOT NULL,
    config_lines_changed INTEGER NOT NULL,
    velocity_retention REAL
);
CREATE INDEX IF NOT EXISTS reports_by_device ON reports (device_id);
)";

std::int64_t integerOf(const platform::SqlValue& value) { return std::get<std::int64_t>(value); }

} // namespace

ReportStore::ReportStore(const std::string& path) : database_(path, platform::Database::Access::readWrite) {
    database_.execute("PRAGMA busy_timeout = 5000");
    // Under a write-ahead log the normal sync level loses nothing when the program dies, only on a
    // power cut, and spares each report its own sync, which would cap the rate of reports.
    database_.execute("PRAGMA journal_mode = WAL");
    database_.execute("PRAGMA synchronous = NORMAL");
    database_.execute(schema);
}

void ReportStore::insert(const AnonymousActivityReport& report) {
    std::lock_guard lock(mutex_);
    auto statement = database_.prepare(
        "INSERT INTO reports (device_id, activity_date, size_bucket, code_lines_changed, docs_lines_changed, "
        "test_lines_changed, config_lines_changed, velocity_retention) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    statement.bindAll({
        report.deviceId,
        JsonCoding::encodeDate(report.activityDate),
        report.sizeBucket,
        report.codeLinesChanged,
        report.docsLinesChanged,
        report.testLinesChanged,
        report.configLinesChanged,
        report.velocityRetention ? platform::SqlValue(*report.velocityRetention) : platform::SqlValue(),
    });
    statement.run();
}

std::int64_t ReportStore::deleteDevice(const std::string& deviceId) {
    std::lock_guard lock(mutex_);
    auto counting = database_.prepare("SELECT COUNT(*) FROM reports WHERE device_id = ?");
    counting.bind(1, deviceId);
    counting.step();
    const std::int64_t removed = integerOf(counting.column(0));
    auto deleting = database_.prepare("DELETE FROM reports WHERE device_id = ?");
    deleting.bind(1, deviceId);
    deleting.run();
    return removed;
}

std::int64_t ReportStore::contributorCount() { return count("SELECT COUNT(DISTINCT device_id) FROM reports"); }

std::int64_t ReportStore::reportCount() { return count("SELECT COUNT(*) FROM reports"); }

std::vector<StoredReport> ReportStore::all() {
    std::lock_guard lock(mutex_);
    auto statement = database_.prepare(
        "SELECT device_id, activity_date, size_bucket, code_lines_changed, docs_lines_changed, test_lines_changed, "
        "config_lines_changed, velocity_retention FROM reports ORDER BY id");
    std::vector<StoredReport> reports;
    while (statement.step()) {
        const auto retention = statement.column(7);
        reports.push_back({
            .deviceId = std::get<std::string>(statement.column(0)),
            .activityDay = std::get<std::string>(statement.column(1)),
            .sizeBucket = std::get<std::string>(statement.column(2)),
            .codeLinesChanged = integerOf(statement.column(3)),
            .docsLinesChanged = integerOf(statement.column(4)),
            .testLinesChanged = integerOf(statement.column(5)),
            .configLinesChanged = integerOf(statement.column(6)),
            .velocityRetention =
                platform::isNull(retention) ? std::nullopt : std::optional(std::get<double>(retention)),
        });
    }
    return reports;
}

std::int64_t ReportStore::count(const char* sql) {
    std::lock_guard lock(mutex_);
    auto statement = database_.prepare(sql);
    statement.step();
    return integerOf(statement.column(0));
}

} // namespace norvane::indexserver
