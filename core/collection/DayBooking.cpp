#include "core/collection/DayBooking.h"

namespace norvane {

void DayBooking::add(const GitLogParser::LogRecord& record) {
    tally_.add(record);
    commits_.emplace_back(record.hash);
}

} // namespace norvane
