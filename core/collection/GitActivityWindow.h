#pragma once

#include "platform/Date.h"

#include <string>
#include <vector>

namespace norvane {

/// What a daily collection asks git for: the days from `since` on, each commit booked on the day
/// it was first seen when git dates it later, and nothing that an earlier collection booked before
/// those days.
struct GitActivityWindow {
    /// The start of the first day read.
    platform::Date since;
    /// The moment of this collection: a commit dated later is booked now, never on a day to come.
    platform::Date now;
    /// The heads that collections before `since` read: a commit they reached that git dates at or
    /// after `since` was dated ahead of their clock and booked then.
    std::vector<std::string> bookedHeads;
    /// The heads that the collections since `since` read, and when the newest of them ran: what
    /// they reached was first seen by then.
    std::vector<std::string> lastHeads;
    platform::Date lastCollectedAt;
};

} // namespace norvane
