#include "core/models/BookedDay.h"

namespace norvane {

using platform::attribute;

std::shared_ptr<BookedDay> BookedDay::create(const std::shared_ptr<Project>& project, platform::Date dayStart) {
    auto day = std::make_shared<BookedDay>();
    day->project = project;
    day->date = dayStart;
    return day;
}

const platform::Entity<BookedDay>& BookedDay::entity() {
    static const platform::Entity<BookedDay> entity{
        "BookedDay",
        "booked_day",
        {
            attribute(BookedDayField::id, {.identity = true}),
            attribute(BookedDayField::date),
            attribute(BookedDayField::commits),
            platform::relationship(BookedDayField::project, platform::DeleteRule::cascade),
        },
        {{.columns = {"project", "date"}, .replaces = true}}};
    return entity;
}

} // namespace norvane
