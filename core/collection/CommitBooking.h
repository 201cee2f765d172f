#pragma once

#include "core/models/BookedCommit.h"

#include "platform/Date.h"
#include "platform/LocalDayStarts.h"

#include <optional>
#include <string_view>

namespace norvane {

/// When each commit counts in the daily activity of a collection at one moment: on the local day
/// of its committer date, or, for a commit dated after the moment, on the day of the moment, as an
/// import at that moment books it. Such a commit tells that the collection's clock may be behind,
/// or the committer's ahead, and nothing tells which: it keeps its date, and a collection whose
/// moment reaches that date counts it on its own day.
class CommitBooking {
public:
    /// A commit as the collection books it.
    struct Booked {
        /// The moment it counts at: no later than the collection's.
        platform::Date moment;
        /// The start of the local day of that moment.
        platform::Date day;
        BookedCommit commit;
    };

    explicit CommitBooking(platform::Date now) : now_(now) {}

    Booked book(std::string_view hash, platform::Date committedAt);
    /// The latest date of a commit counted at the collection's moment, being dated after it.
    std::optional<platform::Date> latestAhead() const { return latestAhead_; }

private:
    platform::Date now_;
    std::optional<platform::Date> latestAhead_;
    platform::LocalDayStarts dayStarts_;
};

} // namespace norvane
