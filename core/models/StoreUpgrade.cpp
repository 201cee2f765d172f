#include "core/models/StoreUpgrade.h"

#include "core/models/BookedCommitRecord.h"
#include "core/models/BookedHistory.h"

#include "platform/ErrorLog.h"
#include "platform/TextPieces.h"
#include "platform/persistence/FieldTraits.h"

#include <charconv>
#include <optional>
#include <set>
#include <vector>

namespace norvane::StoreUpgrade {
namespace {

using platform::Database;
using platform::SqlValue;

/// The per-day text of booked commits that schema 1.0.0 kept, table and all.
constexpr const char* bookedDayTable = "booked_day";

bool hasTable(Database& database, const std::string& table) {
    auto query = database.prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    query.bind(1, table);
    return query.step();
}

std::set<std::string> columnsOf(Database& database, const std::string& table) {
    std::set<std::string> columns;
    auto query = database.prepare("SELECT name FROM pragma_table_info(?)");
    query.bind(1, table);
    while (query.step()) columns.insert(std::get<std::string>(query.column(0)));
    return columns;
}

/// What a column added to stored rows holds for them: none, or the type's zero value.
std::string addedColumnDefinition(const platform::ColumnInfo& column) {
    std::string definition = "\"" + column.name + "\" " + column.sqlType;
    if (column.nullable) return definition;
    if (column.sqlType == "TEXT") return definition + " NOT NULL DEFAULT ''";
    if (column.sqlType == "BLOB") return definition + " NOT NULL DEFAULT x''";
    return definition + " NOT NULL DEFAULT 0";
}

void addMissingColumns(Database& database, const platform::EntityInfo& entity) {
    if (!hasTable(database, entity.table)) return;
    const auto existing = columnsOf(database, entity.table);
    for (const auto& column : entity.columns) {
        if (existing.contains(column.name)) continue;
        database.execute("ALTER TABLE \"" + entity.table + "\" ADD COLUMN " + addedColumnDefinition(column));
    }
}

/// A commit as schema 1.0.0 kept it, with the moment it was first seen at when it was dated ahead of it.
struct EntryOfDay {
    std::string hash;
    std::optional<std::int64_t> firstSeenAt;
};

/// One entry of schema 1.0.0's text: "HASH" or "HASH@MICROSECONDS"; none when it does not read.
std::optional<EntryOfDay> parseEntry(std::string_view entry) {
    const auto at = entry.find('@');
    EntryOfDay commit{std::string(entry.substr(0, at)), std::nullopt};
    if (commit.hash.empty()) return std::nullopt;
    if (at != std::string_view::npos) {
        const auto moment = entry.substr(at + 1);
        std::int64_t micros = 0;
        const auto [next, error] = std::from_chars(moment.data(), moment.data() + moment.size(), micros);
        if (error != std::errc() || next != moment.data() + moment.size()) return std::nullopt;
        commit.firstSeenAt = micros;
    }
    return commit;
}

/// Earlier versions kept the moment a commit dated ahead of it was first seen at, and counted it on
/// that day for good; such a commit now counts on its own day once the clock reaches it. Its
/// project's rows are read whole at the next collection, as after rows booked for now only.
void readWholeAgain(Database& database, std::int64_t project, std::int64_t seenAt) {
    auto mark =
        database.prepare("UPDATE \"" + BookedHistory::entity().info().table +
                         "\" SET provisionalUntil = max(coalesce(provisionalUntil, ?1), ?1) WHERE project = ?2");
    mark.bindAll({SqlValue(seenAt), SqlValue(project)});
    mark.run();
}

struct BookedDayRow {
    std::int64_t project = 0;
    std::int64_t date = 0;
    std::string commits;
};

std::vector<BookedDayRow> bookedDays(Database& database) {
    std::vector<BookedDayRow> rows;
    auto query = database.prepare(std::string("SELECT project, date, commits FROM ") + bookedDayTable +
                                  " WHERE project IS NOT NULL");
    while (query.step()) {
        const auto text = query.column(2);
        const auto* commits = std::get_if<std::string>(&text);
        rows.push_back({std::get<std::int64_t>(query.column(0)), std::get<std::int64_t>(query.column(1)),
                        commits ? *commits : std::string()});
    }
    return rows;
}

/// Moves the commits each day's row counts from the per-day text to a row each.
void moveBookedDays(Database& database) {
    if (!hasTable(database, bookedDayTable)) return;
    auto insert = database.prepare("INSERT OR IGNORE INTO \"" + BookedCommitRecord::entity().info().table +
                                   "\" (hash, date, project) VALUES (?, ?, ?)");
    std::set<std::int64_t> unreadable;
    for (const auto& day : bookedDays(database)) {
        for (const auto entry : platform::nonEmptyPieces(day.commits, ' ')) {
            const auto commit = parseEntry(entry);
            if (!commit) {
                unreadable.insert(day.project);
                continue;
            }
            insert.bindAll({SqlValue(commit->hash), SqlValue(day.date), SqlValue(day.project)});
            insert.run();
            insert.reset();
            if (commit->firstSeenAt) readWholeAgain(database, day.project, *commit->firstSeenAt);
        }
    }
    auto forget = database.prepare("DELETE FROM \"" + BookedHistory::entity().info().table + "\" WHERE project = ?");
    for (const auto project : unreadable) {
        platform::logError("The commits booked for the project with key " + std::to_string(project) +
                           " could not all be read; its history will be read whole at its next collection");
        forget.bind(1, SqlValue(project));
        forget.run();
        forget.reset();
    }
    database.execute(std::string("DROP TABLE ") + bookedDayTable);
}

/// Drops the moments that schemas 1.1.0 and 1.2.0 kept of commits first seen ahead of their date.
void dropFirstSeenMoments(Database& database) {
    const auto& table = BookedCommitRecord::entity().info().table;
    if (!columnsOf(database, table).contains("firstSeenAt")) return;
    std::vector<std::pair<std::int64_t, std::int64_t>> seen;
    auto query = database.prepare("SELECT project, max(firstSeenAt) FROM \"" + table +
                                  "\" WHERE firstSeenAt IS NOT NULL AND project IS NOT NULL GROUP BY project");
    while (query.step()) {
        seen.emplace_back(std::get<std::int64_t>(query.column(0)), std::get<std::int64_t>(query.column(1)));
    }
    for (const auto& [project, seenAt] : seen) readWholeAgain(database, project, seenAt);
    database.execute("ALTER TABLE \"" + table + "\" DROP COLUMN firstSeenAt");
}

/// Schema 1.3.0 kept the repository's git folder where 1.4.0 keeps where its work tree begins. A
/// repository's own ".git" lies at the top of its work tree; a git folder elsewhere (a submodule's, a
/// separate one) tells not where, so none is kept, and the next collection fills it in.
void keepWorkTreesForGitFolders(Database& database) {
    database.execute("UPDATE \"" + BookedHistory::entity().info().table +
                     "\" SET repository = CASE WHEN repository GLOB '*/.git' "
                     "THEN substr(repository, 1, length(repository) - length('/.git')) ELSE '' END "
                     "WHERE repository != ''");
}

} // namespace

void upgrade(Database& database, const std::string& storedVersion) {
    addMissingColumns(database, BookedHistory::entity().info());
    addMissingColumns(database, BookedCommitRecord::entity().info());
    moveBookedDays(database);
    dropFirstSeenMoments(database);
    // Only 1.3.0 kept a git folder; the versions before it kept no repository.
    if (storedVersion == "1.3.0") keepWorkTreesForGitFolders(database);
}

} // namespace norvane::StoreUpgrade
