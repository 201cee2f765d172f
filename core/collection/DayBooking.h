#pragma once

#include "core/collection/ActivityTally.h"
#include "core/models/BookedCommit.h"

#include "platform/Date.h"

#include <map>
#include <vector>

namespace norvane {

/// The commits booked on one local day, and their activity.
class DayBooking {
public:
    void add(const GitLogParser::LogRecord& record, BookedCommit commit);
    GitActivityStats stats() const { return tally_.stats(); }
    const std::vector<BookedCommit>& commits() const { return commits_; }

private:
    ActivityTally tally_;
    std::vector<BookedCommit> commits_;
};

/// Booked days by the start of each local day.
using BookedDays = std::map<platform::Date, DayBooking>;

} // namespace norvane
