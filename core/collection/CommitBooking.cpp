#include "core/collection/CommitBooking.h"

#include <algorithm>

namespace norvane {

CommitBooking::Booked CommitBooking::book(std::string_view hash, platform::Date committedAt) {
    if (committedAt <= now_) {
        return {committedAt, dayStarts_.of(committedAt), BookedCommit{std::string(hash), std::nullopt}};
    }
    latestAhead_ = std::max(latestAhead_.value_or(committedAt), committedAt);
    return {now_, dayStarts_.of(now_), BookedCommit{std::string(hash), committedAt}};
}

} // namespace norvane
