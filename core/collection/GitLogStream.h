#pragma once

#include "core/collection/GitLogParser.h"

#include <functional>
#include <string>
#include <string_view>

namespace norvane {

/// Reads `git log` output of the log format while it arrives: each complete record is decoded as
/// UTF-8 (ill-formed bytes become U+FFFD) and handed on at once, so that the work on a long
/// history runs alongside git and only the record being received is held.
class GitLogStream {
public:
    using Visit = std::function<void(const GitLogParser::LogRecord&)>;

    explicit GitLogStream(Visit visit) : visit_(std::move(visit)) {}

    /// Takes the next piece of output, cut anywhere.
    void add(std::string_view text);
    /// Hands on the last record: the output has ended.
    void finish();

private:
    void visitRecords(std::string_view text);

    Visit visit_;
    /// Output from the start of the first record not yet handed on.
    std::string pending_;
    /// Where in `pending_` the search for the next record's start goes on: the text before it
    /// holds none.
    std::size_t searchFrom_ = 0;
};

} // namespace norvane
