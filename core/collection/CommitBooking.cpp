#include "core/collection/CommitBooking.h"

namespace norvane {

CommitBooking::CommitBooking(platform::Date now, std::unordered_map<std::string, platform::Date> firstSeen)
    : now_(now), firstSeen_(std::move(firstSeen)) {}

BookedCommit CommitBooking::book(std::string_view hash, platform::Date committedAt) const {
    BookedCommit commit{std::string(hash), std::nullopt};
    if (!firstSeen_.empty()) {
        if (const auto seen = firstSeen_.find(commit.hash); seen != firstSeen_.end()) {
            commit.firstSeenAt = seen->second;
            return commit;
        }
    }
    if (committedAt > now_) {
        commit.firstSeenAt = now_;
    }
    return commit;
}

} // namespace norvane
