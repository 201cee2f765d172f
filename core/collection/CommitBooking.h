#pragma once

#include "platform/Date.h"
#include "platform/LocalDayStarts.h"

#include <optional>

namespace norvane {

/// When each commit counts in the daily activity of a collection at one moment: on the local day
/// of its committer date, or, for a commit dated after the moment, on the day of the moment, as an
/// import at that moment books it. Such a commit tells that the collection's clock may be behind,
/// or the committer's ahead, and nothing tells which: no moment of it is kept, and a collection
/// whose moment reaches its date counts it on its own day.
class CommitBooking {
public:
    explicit CommitBooking(platform::Date now) : now_(now) {}

    /// The moment a commit dated `committedAt` counts at: no later than the collection's.
    platform::Date moment(platform::Date committedAt);
    /// The start of the local day of `moment`.
    platform::Date dayOf(platform::Date moment) { return dayStarts_.of(moment); }
    /// The latest date of a commit counted at the collection's moment, being dated after it.
    std::optional<platform::Date> latestAhead() const { return latestAhead_; }

private:
    platform::Date now_;
    std::optional<platform::Date> latestAhead_;
    platform::LocalDayStarts dayStarts_;
};

} // namespace norvane
