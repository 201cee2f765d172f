#include "index-server/ReportStore.h"

#include "core/community/JsonCoding.h"
#include "index-server/HeldDataFile.h"
#include "index-server/ReportValidator.h"
#include "platform/ErrorLog.h"
#include "platform/persistence/Database.h"

#include <map>
#include <stdexcept>

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
CREATE INDEX IF NOT EXISTS reports_by_device_and_day ON reports (device_id, activity_date);
)";

/// The indexes that earlier versions of the service made in its file and this one drops, each with
/// its SQL as they made it: one on the device alone, which the one on the device and day serves as
/// well.
const std::map<std::string, std::string> formerIndexes{
    {"reports_by_device", "CREATE INDEX reports_by_device ON reports (device_id)"},
};

/// One contributor's totals per row: the size bucket (or ''), then the fields of `ContributorTotals`
/// in order. Retention percentages outside what a report may hold (from a data file changed by
/// hand) are left out, so that the mean stays finite; so are those that `retentionCondition` does
/// not take.
std::string totalsColumns(const std::string& retentionCondition) {
    return "COUNT(DISTINCT activity_date), MIN(activity_date), MAX(activity_date), TOTAL(code_lines_changed), "
           "TOTAL(docs_lines_changed), TOTAL(test_lines_changed), TOTAL(config_lines_changed), "
           "AVG(CASE WHEN velocity_retention BETWEEN 0 AND ?1" +
           retentionCondition + " THEN velocity_retention END)";
}

/// "size_bucket IN (?N, ...)" for `count` parameters from number `first` on.
std::string bucketIn(int first, std::size_t count) {
    std::string condition = "size_bucket IN (";
    for (std::size_t index = 0; index < count; ++index) {
        condition += (index == 0 ? "?" : ", ?") + std::to_string(first + static_cast<int>(index));
    }
    return condition + ")";
}

/// What a data file holds, each entry ("table reports", "trigger t") with its SQL as SQLite keeps
/// it. The statistics that ANALYZE keeps change nothing that is stored, and are left out.
std::map<std::string, std::string> schemaEntries(platform::Database& database) {
    auto statement = database.prepare("SELECT type || ' ' || name, coalesce(sql, '') FROM sqlite_master WHERE name NOT "
                                      "LIKE 'sqlite\\_stat%' ESCAPE '\\'");
    std::map<std::string, std::string> entries;
    while (statement.step()) {
        entries.emplace(std::get<std::string>(statement.column(0)), std::get<std::string>(statement.column(1)));
    }
    return entries;
}

/// Throws unless everything in `database` is what the service itself makes there, or made there
/// before, as it makes it, before anything is written to it. A trigger or a view, an index or a table of
/// another program (such as a Norvane store) could drop or change what the service stores after
/// it answered that it keeps it.
void requireOwnSchema(platform::Database& database) {
    platform::Database own(":memory:", platform::Database::Access::readWrite);
    own.execute(schema);
    auto expected = schemaEntries(own);
    for (const auto& [name, sql] : formerIndexes) {
        expected.emplace("index " + name, sql);
    }
    std::string foreign;
    for (const auto& [entry, sql] : schemaEntries(database)) {
        const auto found = expected.find(entry);
        if (found == expected.end() || found->second != sql) {
            foreign += (foreign.empty() ? "" : ", ") + entry + (found == expected.end() ? "" : " made otherwise");
        }
    }
    if (!foreign.empty()) {
        throw std::runtime_error(database.path() + " holds what the service does not make there (" + foreign +
                                 "); give the service a data file of its own");
    }
}

std::int64_t integerOf(const platform::SqlValue& value) { return std::get<std::int64_t>(value); }

double numberOf(const platform::SqlValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return static_cast<double>(*integer);
    }
    return std::get<double>(value);
}

/// Runs `sql`, which selects `totalsColumns`, with the largest sound retention and then
/// `buckets` as its parameters.
void visitTotals(platform::Database& database, const std::string& sql, const std::vector<std::string>& buckets,
                 const ReportStore::Visitor& visit) {
    auto statement = database.prepare(sql);
    statement.bind(1, ReportValidator::maxRetentionPercent);
    for (std::size_t index = 0; index < buckets.size(); ++index) {
        statement.bind(static_cast<int>(index) + 2, buckets[index]);
    }
    while (statement.step()) {
        const auto retention = statement.column(8);
        visit({
            .sizeBucket = std::get<std::string>(statement.column(0)),
            .activeDays = integerOf(statement.column(1)),
            .firstDay = std::get<std::string>(statement.column(2)),
            .lastDay = std::get<std::string>(statement.column(3)),
            .codeLines = numberOf(statement.column(4)),
            .docsLines = numberOf(statement.column(5)),
            .testLines = numberOf(statement.column(6)),
            .configLines = numberOf(statement.column(7)),
            .velocityRetention = platform::isNull(retention) ? std::nullopt : std::optional(numberOf(retention)),
        });
    }
}

/// Reads each contributor's totals over the reports of `scope`.
void visitOverall(platform::Database& database, const TotalsScope& scope, const ReportStore::Visitor& visit) {
    if (scope.buckets.empty()) {
        return;
    }
    const auto buckets = scope.buckets.size();
    const auto retentionBuckets = scope.retentionBuckets.size();
    auto parameters = scope.buckets;
    parameters.insert(parameters.end(), scope.retentionBuckets.begin(), scope.retentionBuckets.end());
    visitTotals(database,
                "SELECT '', " + totalsColumns(" AND " + bucketIn(2 + static_cast<int>(buckets), retentionBuckets)) +
                    " FROM reports WHERE " + bucketIn(2, buckets) + " GROUP BY device_id",
                parameters, visit);
}

} // namespace

/// The data file as the store has it open: the hold on it, the connection that writes with the
/// statements that every report takes, and (for a file) the connection that reads the totals.
struct ReportStore::OpenFile {
    explicit OpenFile(const std::string& path);

    std::int64_t count(const char* sql) {
        auto statement = writer.prepare(sql);
        statement.step();
        return integerOf(statement.column(0));
    }

    /// None for a store in memory.
    std::unique_ptr<HeldDataFile> held;
    platform::Database writer;
    /// Prepared once, as every report takes them: preparing them took a third of a report's time.
    std::optional<platform::Statement> inserting;
    std::optional<platform::Statement> findingDevice;
    std::optional<platform::Statement> countingDay;
    /// None for a store in memory, which only its one connection sees.
    std::unique_ptr<platform::Database> reader;
};

ReportStore::OpenFile::OpenFile(const std::string& path)
    : held(path == ":memory:" ? nullptr : std::make_unique<HeldDataFile>(path)),
      writer(path, platform::Database::Access::readWrite) {
    writer.execute("PRAGMA busy_timeout = 5000");
    requireOwnSchema(writer);
    // Only once the file is known for the service's own: another program's file is left as it is.
    if (held) {
        held->keepForOwnerAlone();
    }
    // Under a write-ahead log the normal sync level loses nothing when the program dies, only on a
    // power cut, and spares each report its own sync, which would cap the rate of reports.
    writer.execute("PRAGMA journal_mode = WAL");
    writer.execute("PRAGMA synchronous = NORMAL");
    writer.execute("PRAGMA journal_size_limit = " + std::to_string(logBytesKept));
    writer.execute(schema);
    for (const auto& [name, sql] : formerIndexes) {
        writer.execute("DROP INDEX IF EXISTS " + name);
    }
    inserting.emplace(writer.prepare(
        "INSERT INTO reports (device_id, activity_date, size_bucket, code_lines_changed, docs_lines_changed, "
        "test_lines_changed, config_lines_changed, velocity_retention) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    findingDevice.emplace(writer.prepare("SELECT 1 FROM reports WHERE device_id = ? LIMIT 1"));
    countingDay.emplace(writer.prepare(
        "SELECT COUNT(*) FROM reports WHERE device_id = ? AND activity_date >= ? AND activity_date < ?"));
    if (held) {
        // It writes nothing but the log's pages into the file once its reads are done, without the
        // lock that the reports wait for.
        reader = std::make_unique<platform::Database>(path, platform::Database::Access::readWrite);
        reader->execute("PRAGMA busy_timeout = 5000");
    }
}

ReportStore::ReportStore(const std::string& path) : path_(path), file_(std::make_unique<OpenFile>(path)) {
    contributors_ = file_->count("SELECT COUNT(DISTINCT device_id) FROM reports");
}

ReportStore::~ReportStore() = default;

void ReportStore::whenReopened(std::function<void()> told) { reopened_ = std::move(told); }

void ReportStore::insert(const AnonymousActivityReport& report) {
    std::lock_guard lock(mutex_);
    const bool newDevice = !holdsDevice(report.deviceId);
    auto& statement = *currentFile().inserting;
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
    statement.reset();
    if (newDevice) {
        ++contributors_;
    }
}

bool ReportStore::hasDevice(const std::string& deviceId) {
    std::lock_guard lock(mutex_);
    return holdsDevice(deviceId);
}

std::int64_t ReportStore::reportsOfDeviceOnDay(const std::string& deviceId, std::chrono::sys_days day) {
    // Dates are kept as ISO 8601 text in UTC, which sorts as the moments do.
    const auto dayText = [](std::chrono::sys_days date) { return JsonCoding::encodeDate(date).substr(0, 10); };
    std::lock_guard lock(mutex_);
    auto& statement = *currentFile().countingDay;
    statement.bindAll({deviceId, dayText(day), dayText(day + std::chrono::days(1))});
    statement.step();
    const auto reports = integerOf(statement.column(0));
    // Done with, so that it holds no read of the file open.
    statement.reset();
    return reports;
}

std::int64_t ReportStore::deleteDevice(const std::string& deviceId) {
    std::lock_guard lock(mutex_);
    auto& writer = currentFile().writer;
    auto counting = writer.prepare("SELECT COUNT(*) FROM reports WHERE device_id = ?");
    counting.bind(1, deviceId);
    counting.step();
    const std::int64_t removed = integerOf(counting.column(0));
    auto deleting = writer.prepare("DELETE FROM reports WHERE device_id = ?");
    deleting.bind(1, deviceId);
    deleting.run();
    if (removed > 0) {
        --contributors_;
    }
    return removed;
}

std::int64_t ReportStore::contributorCount() const { return contributors_; }

std::int64_t ReportStore::reportCount() {
    std::lock_guard lock(mutex_);
    return currentFile().count("SELECT COUNT(*) FROM reports");
}

void ReportStore::readContributors(const Visitor& perBucket, const std::function<TotalsScope()>& scope,
                                   const Visitor& overall) {
    const auto readAll = [&](platform::Database& database) {
        platform::Transaction snapshot(database, platform::Transaction::Kind::read);
        visitTotals(database,
                    "SELECT size_bucket, " + totalsColumns("") + " FROM reports GROUP BY size_bucket, device_id", {},
                    perBucket);
        visitOverall(database, scope(), overall);
        snapshot.commit();
    };
    if (path_ != ":memory:") {
        std::lock_guard lock(readerMutex_);
        if (!file_) {
            throw std::runtime_error("Cannot read " + path_ + ": it could not be opened again");
        }
        readAll(*file_->reader);
        file_->reader->execute("PRAGMA wal_checkpoint(PASSIVE)");
    } else {
        std::lock_guard lock(mutex_);
        readAll(file_->writer);
    }
}

ReportStore::OpenFile& ReportStore::currentFile() {
    if (file_ && (!file_->held || file_->held->isAtPath())) {
        return *file_;
    }
    std::lock_guard lock(readerMutex_);
    if (file_) {
        platform::logNotice(path_ +
                            " is no longer the file that the service opened (it was deleted, replaced or moved away); "
                            "the service goes on with the file there");
        // The reports in the log belong to the file that was there: copied into it, the log left at
        // the path is empty and cannot pass for the next file's.
        file_->writer.execute("PRAGMA wal_checkpoint(TRUNCATE)");
        file_.reset();
    }
    auto file = std::make_unique<OpenFile>(path_);
    contributors_ = file->count("SELECT COUNT(DISTINCT device_id) FROM reports");
    file_ = std::move(file);
    if (reopened_) {
        reopened_();
    }
    return *file_;
}

bool ReportStore::holdsDevice(const std::string& deviceId) {
    auto& statement = *currentFile().findingDevice;
    statement.bind(1, deviceId);
    const bool found = statement.step();
    statement.reset();
    return found;
}

} // namespace norvane::indexserver
