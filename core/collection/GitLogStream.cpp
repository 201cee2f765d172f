#include "core/collection/GitLogStream.h"

#include "platform/UnicodeText.h"

namespace norvane {

void GitLogStream::add(std::string_view text) {
    // What is held already has a record start at its beginning at most, so a new one lies in the
    // new text or across the seam before it: searching only there keeps a long record linear.
    const auto seam = GitLogParser::recordStart.size() - 1;
    const auto searchFrom = pending_.size() > seam ? pending_.size() - seam : 0;
    pending_.append(text);
    // Everything before the last record's start is whole; the last record may still grow.
    auto lastStart = std::string_view(pending_).substr(searchFrom).rfind(GitLogParser::recordStart);
    if (lastStart == std::string_view::npos) {
        return;
    }
    lastStart += searchFrom;
    if (lastStart == 0) {
        return;
    }
    visitRecords(std::string_view(pending_).substr(0, lastStart));
    pending_.erase(0, lastStart);
}

void GitLogStream::finish() {
    visitRecords(pending_);
    pending_.clear();
}

void GitLogStream::visitRecords(std::string_view text) {
    // A record starts with ASCII, so no UTF-8 sequence is ever cut between two pieces.
    GitLogParser::forEachRecord(platform::UnicodeText::decodeLossy(std::string(text)), visit_);
}

} // namespace norvane
