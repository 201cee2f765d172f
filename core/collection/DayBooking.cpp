#include "core/collection/DayBooking.h"

#include <utility>

namespace norvane {

void DayBooking::add(const GitLogParser::LogRecord& record, BookedCommit commit) {
    tally_.add(record);
    commits_.push_back(std::move(commit));
}

} // namespace norvane
