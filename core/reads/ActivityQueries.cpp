#include "core/reads/ActivityQueries.h"

#include "platform/LocalCalendar.h"

namespace norvane::ActivityQueries {
namespace {

using platform::Date;
using platform::QueryRow;
using platform::SqlValue;

SqlValue sqlDate(Date date) { return platform::FieldTraits<Date>::toSql(date); }

} // namespace

PortfolioMetricsCalculator::CategorySums categorySums(platform::ModelContainer& store, Date since,
                                                      std::optional<std::int64_t> projectKey) {
    PortfolioMetricsCalculator::CategorySums sums{};
    std::vector<SqlValue> arguments{sqlDate(since)};
    if (projectKey) arguments.emplace_back(*projectKey);
    store.query(std::string("SELECT total(codeLinesInserted), total(codeLinesDeleted), total(docsLinesInserted), "
                            "total(docsLinesDeleted), total(testLinesInserted), total(testLinesDeleted), "
                            "total(configLinesInserted), total(configLinesDeleted) FROM daily_activity "
                            "WHERE date >= ?") +
                    (projectKey ? " AND project = ?" : ""),
                arguments, [&](const QueryRow& row) {
                    for (int column = 0; column < 8; ++column)
                        sums[static_cast<std::size_t>(column)] = row.get<std::int64_t>(column);
                });
    return sums;
}

ChangedLines changedLines(platform::ModelContainer& store, std::int64_t projectKey, Date since) {
    ChangedLines changed;
    store.query("SELECT total(codeLinesInserted + codeLinesDeleted), count(*) FROM daily_activity "
                "WHERE project = ? AND date >= ?",
                {SqlValue(projectKey), sqlDate(since)}, [&](const QueryRow& row) {
                    changed.codeLinesChanged = row.get<std::int64_t>(0);
                    changed.days = static_cast<std::size_t>(row.get<std::int64_t>(1));
                });
    return changed;
}

PortfolioMetricsCalculator::ChangedOnDay changedOnDay(platform::ModelContainer& store, std::int64_t projectKey,
                                                      Date since) {
    PortfolioMetricsCalculator::ChangedOnDay changed;
    store.query("SELECT date, codeLinesInserted + codeLinesDeleted FROM daily_activity "
                "WHERE project = ? AND date >= ? ORDER BY date",
                {SqlValue(projectKey), sqlDate(since)}, [&](const QueryRow& row) {
                    changed[platform::LocalCalendar::localDay(row.get<Date>(0))] = row.get<std::int64_t>(1);
                });
    return changed;
}

std::set<Date> activeDays(platform::ModelContainer& store) {
    std::set<Date> days;
    // The days come from the index of dates alone, and each is checked on its first rows: filtering
    // every row first would read the whole table.
    store.query("SELECT day.date FROM (SELECT DISTINCT date FROM daily_activity) AS day WHERE EXISTS "
                "(SELECT 1 FROM daily_activity WHERE date = day.date AND commitCount >= 1)",
                {}, [&](const QueryRow& row) { days.insert(platform::LocalCalendar::startOfDay(row.get<Date>(0))); });
    return days;
}

bool hasAny(platform::ModelContainer& store) {
    bool any = false;
    store.query("SELECT EXISTS (SELECT 1 FROM daily_activity)", {},
                [&](const QueryRow& row) { any = row.get<std::int64_t>(0) != 0; });
    return any;
}

} // namespace norvane::ActivityQueries
