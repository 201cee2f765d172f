#pragma once

#include "platform/Date.h"

#include <chrono>
#include <map>
#include <optional>

namespace norvane::platform {

/// The start of each moment's local day, for long runs of moments: the calendar is asked once per
/// day rather than once per moment, whatever order the moments come in, and a day next to one met
/// before takes the boundary they share from it.
class LocalDayStarts {
public:
    Date of(Date date);

private:
    struct Day {
        std::chrono::local_days day;
        Date next; ///< the start of the day after
    };

    /// The days met so far, by their starts.
    std::map<Date, Day> days_;
    /// The day met last, where the next moment most often falls.
    std::optional<Date> start_;
    Date next_{};
};

} // namespace norvane::platform
