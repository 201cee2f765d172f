#include "core/reads/SnapshotQueries.h"

#include "core/models/OutputCategory.h"
#include "core/models/SnapshotType.h"
#include "platform/LocalCalendar.h"

#include <fmt/format.h>

#include <algorithm>

namespace norvane::SnapshotQueries {
namespace {

using platform::Date;
using platform::QueryRow;
using platform::SqlValue;

/// The key of the project's newest snapshot among those that `condition` (on the table "s")
/// admits: the latest capture time found through the (project, capturedAt) index, then the first
/// stored at that time. `project` is the SQL that gives the project's key.
std::string newestKey(const std::string& project, const std::string& condition) {
    return fmt::format("(SELECT s.pk FROM snapshot s WHERE s.project = {0} AND {1} AND s.capturedAt = "
                       "(SELECT s.capturedAt FROM snapshot s WHERE s.project = {0} AND {1} "
                       "ORDER BY s.capturedAt DESC LIMIT 1) ORDER BY s.pk LIMIT 1)",
                       project, condition);
}

/// The history points' type as the store keeps it, quoted for the SQL of the reads.
const std::string historyType = fmt::format("'{}'", platform::rawValue(SnapshotType::gitHistory));
const std::string anySnapshot = "1";
const std::string withCommit = "s.latestCommitHash IS NOT NULL";
const std::string codeCountOnly = "s.snapshotTypeRaw <> " + historyType;

/// Code lines and complexity of the code category, and the language with the most code.
void addLanguages(platform::ModelContainer& store, std::int64_t snapshotKey, CodeCount& count) {
    std::optional<std::int64_t> mainCode;
    store.query("SELECT language, code, complexity, category FROM snapshot_language WHERE snapshot = ?",
                {SqlValue(snapshotKey)}, [&](const QueryRow& row) {
                    const auto language = row.get<std::string>(0);
                    const auto code = row.get<std::int64_t>(1);
                    if (row.get<std::optional<OutputCategory>>(3).value_or(OutputCategory::code) ==
                        OutputCategory::code) {
                        count.codeCategoryCode += code;
                        count.codeCategoryComplexity += row.get<std::int64_t>(2);
                    }
                    // Ties go to the first name in order, so the choice does not change between reads.
                    if (!mainCode || code > *mainCode || (code == *mainCode && language < *count.mainLanguage)) {
                        mainCode = code;
                        count.mainLanguage = language;
                    }
                });
}

std::string figureColumn(MilestoneType type) {
    return isCost(type) ? "cumulativeEstimatedCost" : "cumulativeLinesChanged";
}

} // namespace

std::optional<std::int64_t> projectKey(platform::ModelContainer& store, const platform::Uuid& id) {
    std::optional<std::int64_t> key;
    store.query("SELECT pk FROM project WHERE id = ?", {platform::FieldTraits<platform::Uuid>::toSql(id)},
                [&](const QueryRow& row) { key = row.get<std::int64_t>(0); });
    return key;
}

std::map<std::int64_t, Newest> newestOfEachProject(platform::ModelContainer& store) {
    std::map<std::int64_t, Newest> newest;
    const auto sql = fmt::format("SELECT p.pk, n.capturedAt, n.codeLines, c.latestCommitHash, c.latestCommitMessage "
                                 "FROM project p LEFT JOIN snapshot n ON n.pk = {} LEFT JOIN snapshot c ON c.pk = {}",
                                 newestKey("p.pk", anySnapshot), newestKey("p.pk", withCommit));
    store.query(sql, {}, [&](const QueryRow& row) {
        auto& entry = newest[row.get<std::int64_t>(0)];
        if (!row.isNull(1)) entry.snapshot = ProjectListing::Moment{row.get<Date>(1), row.get<std::int64_t>(2)};
        if (!row.isNull(3))
            entry.commitSummary = commitSummaryOf(row.get<std::string>(3), row.get<std::optional<std::string>>(4));
    });
    return newest;
}

std::optional<CodeCount> newestCodeCount(platform::ModelContainer& store, std::int64_t projectKey) {
    std::optional<CodeCount> count;
    std::int64_t snapshotKey = 0;
    store.query(fmt::format("SELECT pk, codeLines, totalFiles, totalComplexity FROM snapshot WHERE pk = {}",
                            newestKey("?1", codeCountOnly)),
                {SqlValue(projectKey)}, [&](const QueryRow& row) {
                    snapshotKey = row.get<std::int64_t>(0);
                    count = CodeCount{row.get<std::int64_t>(1), row.get<std::int64_t>(2), row.get<std::int64_t>(3)};
                });
    if (count) addLanguages(store, snapshotKey, *count);
    return count;
}

std::optional<RecordedCommit> newestCommit(platform::ModelContainer& store, std::int64_t projectKey) {
    std::optional<RecordedCommit> commit;
    store.query(fmt::format("SELECT latestCommitHash, latestCommitMessage, latestCommitAuthor, latestCommitDate "
                            "FROM snapshot WHERE pk = {}",
                            newestKey("?1", anySnapshot)),
                {SqlValue(projectKey)}, [&](const QueryRow& row) {
                    commit =
                        RecordedCommit{row.get<std::optional<std::string>>(0), row.get<std::optional<std::string>>(1),
                                       row.get<std::optional<std::string>>(2), row.get<std::optional<Date>>(3)};
                });
    return commit;
}

std::vector<HistoryPoint> history(platform::ModelContainer& store, std::int64_t projectKey) {
    std::vector<HistoryPoint> points;
    store.query("SELECT capturedAt, codeLines, cumulativeEffortMonths, cumulativeEstimatedCost, "
                "cumulativeLinesChanged FROM snapshot WHERE project = ? AND snapshotTypeRaw = " +
                    historyType +
                    " "
                    "ORDER BY capturedAt, pk",
                {SqlValue(projectKey)}, [&](const QueryRow& row) {
                    points.push_back({row.get<Date>(0), row.get<std::int64_t>(1), row.get<double>(2),
                                      row.get<double>(3), row.get<std::int64_t>(4)});
                });
    return points;
}

std::vector<PortfolioMetricsService::EffortPoint> effortSince(platform::ModelContainer& store, std::int64_t projectKey,
                                                              Date since) {
    std::vector<PortfolioMetricsService::EffortPoint> points;
    store.query("SELECT capturedAt, cumulativeEffortMonths FROM snapshot WHERE project = ? AND "
                "snapshotTypeRaw = " +
                    historyType + " AND capturedAt >= ? ORDER BY capturedAt, pk",
                {SqlValue(projectKey), platform::FieldTraits<Date>::toSql(since)}, [&](const QueryRow& row) {
                    points.push_back({row.get<Date>(0), row.get<double>(1)});
                });
    return points;
}

std::vector<Date> historyMomentsSince(platform::ModelContainer& store, Date since) {
    std::vector<Date> moments;
    store.query("SELECT capturedAt FROM snapshot WHERE snapshotTypeRaw = " + historyType + " AND capturedAt >= ?",
                {platform::FieldTraits<Date>::toSql(since)},
                [&](const QueryRow& row) { moments.push_back(row.get<Date>(0)); });
    return moments;
}

bool hasHistory(platform::ModelContainer& store) {
    bool any = false;
    store.query("SELECT EXISTS (SELECT 1 FROM snapshot WHERE snapshotTypeRaw = " + historyType + ")", {},
                [&](const QueryRow& row) { any = row.get<std::int64_t>(0) != 0; });
    return any;
}

DailyRowMoments dailyRowMoments(platform::ModelContainer& store) {
    std::map<std::int64_t, std::string> names;
    store.query("SELECT pk, name FROM project", {},
                [&](const QueryRow& row) { names.emplace(row.get<std::int64_t>(0), row.get<std::string>(1)); });
    DailyRowMoments read;
    // Projects take their places in the order their first moment comes, as the rows sum them.
    std::map<std::int64_t, std::size_t> places;
    store.query("SELECT capturedAt, project, cumulativeEffortMonths FROM snapshot "
                "WHERE snapshotTypeRaw = " +
                    historyType + " ORDER BY capturedAt",
                {}, [&](const QueryRow& row) {
                    std::optional<std::size_t> place;
                    const auto name = row.isNull(1) ? names.end() : names.find(row.get<std::int64_t>(1));
                    if (name != names.end()) {
                        const auto [entry, added] = places.try_emplace(name->first, read.projectNames.size());
                        if (added) read.projectNames.push_back(name->second);
                        place = entry->second;
                    }
                    read.moments.push_back({row.get<Date>(0), place, row.get<double>(2)});
                });
    return read;
}

std::vector<int> daysToReach(platform::ModelContainer& store, MilestoneType type) {
    std::vector<int> days;
    const auto sql = fmt::format("SELECT p.firstCommitAt, "
                                 "(SELECT capturedAt FROM snapshot WHERE project = p.pk AND snapshotTypeRaw = {0} "
                                 "ORDER BY capturedAt LIMIT 1), "
                                 "(SELECT capturedAt FROM snapshot WHERE project = p.pk AND snapshotTypeRaw = {0} "
                                 "AND {1} >= ? ORDER BY capturedAt LIMIT 1) FROM project p",
                                 historyType, figureColumn(type));
    store.query(sql, {SqlValue(threshold(type))}, [&](const QueryRow& row) {
        if (row.isNull(2)) return;
        const Date start = row.get<std::optional<Date>>(0).value_or(row.get<Date>(1));
        days.push_back(platform::LocalCalendar::wholeDaysBetween(start, row.get<Date>(2)));
    });
    return days;
}

} // namespace norvane::SnapshotQueries
