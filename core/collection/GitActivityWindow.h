#pragma once

#include "platform/Date.h"

#include <optional>
#include <string>
#include <vector>

namespace norvane {

/// What a daily collection asks git for: the days from `since` on, each commit booked on the day
/// it was first seen when git dates it later, and nothing that an earlier collection booked before
/// those days.
struct GitActivityWindow {
    /// The start of the first day booked.
    platform::Date since;
    /// Where the log starts, when earlier than `since`: early enough for the heads of
    /// `bookedHeads` to be listed, so that one of them that is still the head is known from the
    /// same log. What it lists before `since` is not booked.
    std::optional<platform::Date> listedSince;
    /// The moment of this collection: a commit dated later is booked now, never on a day to come.
    platform::Date now;
    /// The heads that collections before `since` read: a commit they reached that git dates at or
    /// after `since` was dated ahead of their clock and booked then, and what came before them was
    /// read then, so that the log need not walk past them.
    std::vector<std::string> bookedHeads;
    /// The heads that the collections since `since` read, and when the newest of them ran: what
    /// they reached was first seen by then.
    std::vector<std::string> lastHeads;
    platform::Date lastCollectedAt;
};

} // namespace norvane
