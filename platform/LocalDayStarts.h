#pragma once

#include "platform/Date.h"

#include <optional>

namespace norvane::platform {

/// The start of each moment's local day, for long runs of moments in about date order: the
/// calendar is asked once per day rather than once per moment.
class LocalDayStarts {
public:
    Date of(Date date);

private:
    std::optional<Date> start_;
    Date next_{};
};

} // namespace norvane::platform
