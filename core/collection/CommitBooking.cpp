#include "core/collection/CommitBooking.h"

namespace norvane {

CommitBooking::CommitBooking(platform::Date now, std::unordered_map<std::string, platform::Date> firstSeen, Clock clock)
    : now_(now), firstSeen_(std::move(firstSeen)), clock_(clock) {}

BookedCommit CommitBooking::book(std::string_view hash, platform::Date committedAt) const {
    BookedCommit commit{std::string(hash), std::nullopt};
    if (!firstSeen_.empty()) {
        if (const auto seen = firstSeen_.find(commit.hash); seen != firstSeen_.end()) {
            commit.firstSeenAt = seen->second;
            return commit;
        }
    }
    if (committedAt > now_ && clock_ == Clock::trusted) {
        commit.firstSeenAt = now_;
    }
    return commit;
}

} // namespace norvane
