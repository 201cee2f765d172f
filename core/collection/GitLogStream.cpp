#include "core/collection/GitLogStream.h"

#include "platform/UnicodeText.h"

namespace norvane {

void GitLogStream::add(std::string_view text) {
    pending_.append(text);
    // Everything before the last record's start is whole; the last record may still grow.
    const auto lastStart = pending_.rfind(GitLogParser::recordStart);
    if (lastStart == std::string::npos || lastStart == 0) {
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
