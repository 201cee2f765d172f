#pragma once

#include "core/models/BookedCommit.h"

#include "platform/Date.h"
#include "platform/LocalDayStarts.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>

namespace norvane {

/// When each commit counts in the daily activity: on the local day of its committer date, or, for
/// a commit dated ahead of the clock that first saw it, on the day of that moment, which it keeps
/// from then on. A clock that may be wrong (one that read earlier than an earlier collection's)
/// counts such a commit at its moment too, but gives it nothing to keep.
class CommitBooking {
public:
    /// Whether the moment a commit dated ahead of the clock is first seen at is kept.
    enum class Clock { trusted, provisional };

    /// `firstSeen`: the moments earlier collections first saw commits dated ahead of them.
    explicit CommitBooking(platform::Date now, std::unordered_map<std::string, platform::Date> firstSeen = {},
                           Clock clock = Clock::trusted);

    BookedCommit book(std::string_view hash, platform::Date committedAt) const;
    /// The moment `commit` counts at: no later than the clock.
    platform::Date moment(const BookedCommit& commit, platform::Date committedAt) const {
        return std::min(commit.firstSeenAt.value_or(committedAt), now_);
    }
    /// The start of the local day of `moment`.
    platform::Date dayOf(platform::Date moment) { return dayStarts_.of(moment); }

private:
    platform::Date now_;
    std::unordered_map<std::string, platform::Date> firstSeen_;
    Clock clock_;
    platform::LocalDayStarts dayStarts_;
};

} // namespace norvane
