#include "core/models/BookedCommit.h"

#include "platform/TextPieces.h"

#include <charconv>

namespace norvane {

std::string BookedCommit::join(const std::vector<BookedCommit>& commits) {
    std::string text;
    for (const auto& commit : commits) {
        if (!text.empty()) text += ' ';
        text += commit.hash;
        if (commit.firstSeenAt) {
            text += '@' + std::to_string(commit.firstSeenAt->time_since_epoch().count());
        }
    }
    return text;
}

std::vector<BookedCommit> BookedCommit::split(std::string_view text) {
    std::vector<BookedCommit> commits;
    for (const auto entry : platform::nonEmptyPieces(text, ' ')) {
        const auto at = entry.find('@');
        BookedCommit commit{std::string(entry.substr(0, at)), std::nullopt};
        if (at != std::string_view::npos) {
            const auto moment = entry.substr(at + 1);
            std::int64_t micros = 0;
            const auto [next, error] = std::from_chars(moment.data(), moment.data() + moment.size(), micros);
            if (error != std::errc() || next != moment.data() + moment.size()) continue;
            commit.firstSeenAt = platform::Date(std::chrono::microseconds(micros));
        }
        if (!commit.hash.empty()) commits.push_back(std::move(commit));
    }
    return commits;
}

} // namespace norvane
