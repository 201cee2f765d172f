#pragma once

#include "core/models/BookedCommit.h"

#include "platform/Date.h"
#include "platform/LocalDayStarts.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace norvane {

/// When each commit counts in the daily activity: on the local day of its committer date, or, for
/// a commit dated ahead of the clock that first saw it, on the day of that moment, which it keeps
/// from then on.
class CommitBooking {
public:
    /// `firstSeen`: the moments earlier collections first saw commits dated ahead of them.
    explicit CommitBooking(platform::Date now, std::unordered_map<std::string, platform::Date> firstSeen = {});

    BookedCommit book(std::string_view hash, platform::Date committedAt) const;
    /// The moment `commit` counts at.
    static platform::Date moment(const BookedCommit& commit, platform::Date committedAt) {
        return commit.firstSeenAt.value_or(committedAt);
    }
    /// The start of the local day of `moment`.
    platform::Date dayOf(platform::Date moment) { return dayStarts_.of(moment); }

private:
    platform::Date now_;
    std::unordered_map<std::string, platform::Date> firstSeen_;
    platform::LocalDayStarts dayStarts_;
};

} // namespace norvane
