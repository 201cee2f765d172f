#include "core/models/DailyActivity.h"

#include "platform/LocalCalendar.h"

namespace norvane {

using platform::attribute;

std::shared_ptr<DailyActivity> DailyActivity::create(const std::shared_ptr<Project>& project, platform::Date date) {
    return startingAt(project, platform::LocalCalendar::startOfDay(date));
}

std::shared_ptr<DailyActivity> DailyActivity::startingAt(const std::shared_ptr<Project>& project,
                                                         platform::Date dayStart) {
    auto row = std::make_shared<DailyActivity>();
    row->project = project;
    row->date = dayStart;
    return row;
}

const platform::Entity<DailyActivity>& DailyActivity::entity() {
    static const platform::Entity<DailyActivity> entity{
        "DailyActivity",
        "daily_activity",
        {
            attribute(DailyActivityField::id, {.identity = true}),
            attribute(DailyActivityField::date),
            attribute(DailyActivityField::totalInsertions),
            attribute(DailyActivityField::totalDeletions),
            attribute(DailyActivityField::linesTouched),
            attribute(DailyActivityField::commitCount),
            attribute(DailyActivityField::filesChanged),
            attribute(DailyActivityField::codeLinesInserted),
            attribute(DailyActivityField::codeLinesDeleted),
            attribute(DailyActivityField::docsLinesInserted),
            attribute(DailyActivityField::docsLinesDeleted),
            attribute(DailyActivityField::testLinesInserted),
            attribute(DailyActivityField::testLinesDeleted),
            attribute(DailyActivityField::configLinesInserted),
            attribute(DailyActivityField::configLinesDeleted),
            attribute(DailyActivityField::estimatedEffortMonths),
            attribute(DailyActivityField::estimatedCost),
            platform::relationship(DailyActivityField::project, platform::DeleteRule::cascade),
        },
        // One row per project and day: collecting twice, or in two processes at once, replaces
        // the day's row.
        {{.columns = {"project", "date"}, .replaces = true}, {{"date"}, false}}};
    return entity;
}

} // namespace norvane
