#pragma once

#include "core/collection/ActivityTally.h"

#include "platform/Date.h"

#include <map>
#include <string>
#include <vector>

namespace norvane {

/// The commits booked on one local day, and their activity.
class DayBooking {
public:
    void add(const GitLogParser::LogRecord& record);
    GitActivityStats stats() const { return tally_.stats(); }
    /// The hashes of the day's commits.
    const std::vector<std::string>& commits() const { return commits_; }

private:
    ActivityTally tally_;
    std::vector<std::string> commits_;
};

/// Booked days by the start of each local day.
using BookedDays = std::map<platform::Date, DayBooking>;

} // namespace norvane
