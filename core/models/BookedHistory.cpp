#include "core/models/BookedHistory.h"

#include "platform/TextPieces.h"

namespace norvane {

using platform::attribute;

std::shared_ptr<BookedHistory> BookedHistory::create(const std::shared_ptr<Project>& project) {
    auto history = std::make_shared<BookedHistory>();
    history->project = project;
    return history;
}

const platform::Entity<BookedHistory>& BookedHistory::entity() {
    static const platform::Entity<BookedHistory> entity{
        "BookedHistory",
        "booked_history",
        {
            attribute(BookedHistoryField::id, {.identity = true}),
            attribute(BookedHistoryField::head),
            attribute(BookedHistoryField::tips),
            attribute(BookedHistoryField::timeZone),
            attribute(BookedHistoryField::shallowBoundary),
            attribute(BookedHistoryField::firstBookedAt),
            attribute(BookedHistoryField::replacements),
            attribute(BookedHistoryField::infoFiles),
            attribute(BookedHistoryField::pricedWage),
            attribute(BookedHistoryField::pricedOverhead),
            attribute(BookedHistoryField::pricedType),
            attribute(BookedHistoryField::provisionalUntil),
            attribute(BookedHistoryField::aheadUntil),
            attribute(BookedHistoryField::repository),
            platform::relationship(BookedHistoryField::project, platform::DeleteRule::cascade),
        },
        {{.columns = {"project"}, .replaces = true}}};
    return entity;
}

std::vector<std::string> BookedHistory::tipList() const {
    std::vector<std::string> list;
    for (const auto tip : platform::nonEmptyPieces(tips, ' ')) list.emplace_back(tip);
    return list;
}

void BookedHistory::setTips(const std::vector<std::string>& list) {
    tips.clear();
    for (const auto& tip : list) tips += (tips.empty() ? "" : " ") + tip;
}

} // namespace norvane
