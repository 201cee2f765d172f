#include "core/models/DailyPortfolioSnapshot.h"

#include "platform/LocalCalendar.h"

namespace norvane {

using platform::attribute;

std::shared_ptr<DailyPortfolioSnapshot> DailyPortfolioSnapshot::create(platform::Date date) {
    auto row = std::make_shared<DailyPortfolioSnapshot>();
    row->date = platform::LocalCalendar::startOfDay(date);
    return row;
}

const platform::Entity<DailyPortfolioSnapshot>& DailyPortfolioSnapshot::entity() {
    static const platform::Entity<DailyPortfolioSnapshot> entity{
        "DailyPortfolioSnapshot",
        "daily_portfolio_snapshot",
        {
            attribute(DailyPortfolioSnapshotField::id, {.identity = true}),
            attribute(DailyPortfolioSnapshotField::date),
            attribute(DailyPortfolioSnapshotField::activeProjectCount),
            attribute(DailyPortfolioSnapshotField::totalInsertions),
            attribute(DailyPortfolioSnapshotField::totalDeletions),
            attribute(DailyPortfolioSnapshotField::totalLinesChanged),
            attribute(DailyPortfolioSnapshotField::dailyEffortMonths),
            attribute(DailyPortfolioSnapshotField::cumulativeEffortMonths),
            attribute(DailyPortfolioSnapshotField::headcount),
            attribute(DailyPortfolioSnapshotField::totalCommits),
            attribute(DailyPortfolioSnapshotField::activeProjectNames),
        },
        {{{"date"}, false}}};
    return entity;
}

std::vector<std::string> DailyPortfolioSnapshot::splitNames(const std::string& joined) {
    std::vector<std::string> names;
    if (joined.empty()) return names;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = joined.find(',', start);
        names.push_back(joined.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return names;
}

void DailyPortfolioSnapshot::setActiveProjects(const std::vector<std::string>& names) {
    activeProjectNames.clear();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) activeProjectNames += ',';
        activeProjectNames += names[i];
    }
}

} // namespace norvane
