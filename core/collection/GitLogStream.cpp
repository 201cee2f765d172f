#include "core/collection/GitLogStream.h"

#include "platform/UnicodeText.h"

namespace norvane {

void GitLogStream::add(std::string_view text) {
    pending_.append(text);
    // Records are found one after the other, each past the fields of the one before; everything
    // before the last record's start is whole, and the last record may still grow.
    std::size_t last = 0;
    while (const auto next = GitLogParser::nextRecordStart(pending_, last, searchFrom_)) {
        last = *next;
        searchFrom_ = 0;
    }
    // A record start cut at the end of what came is found again once the rest comes.
    const auto seam = GitLogParser::recordStart.size() - 1;
    searchFrom_ = std::max(searchFrom_, pending_.size() > seam ? pending_.size() - seam : 0);
    if (last == 0) {
        return;
    }
    visitRecords(std::string_view(pending_).substr(0, last));
    pending_.erase(0, last);
    searchFrom_ -= last;
}

void GitLogStream::finish() {
    visitRecords(pending_);
    pending_.clear();
    searchFrom_ = 0;
}

void GitLogStream::visitRecords(std::string_view text) {
    // A record starts with ASCII, so no UTF-8 sequence is ever cut between two pieces. Well-formed
    // text, as nearly all is, is read where it lies.
    if (platform::UnicodeText::isValidUtf8(text)) {
        GitLogParser::forEachRecord(text, visit_);
        return;
    }
    GitLogParser::forEachRecord(platform::UnicodeText::decodeLossy(std::string(text)), visit_);
}

} // namespace norvane
