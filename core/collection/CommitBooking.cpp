#include "core/collection/CommitBooking.h"

#include <algorithm>

namespace norvane {

platform::Date CommitBooking::moment(platform::Date committedAt) {
    if (committedAt <= now_) {
        return committedAt;
    }
    latestAhead_ = std::max(latestAhead_.value_or(committedAt), committedAt);
    return now_;
}

} // namespace norvane
