#pragma once

#include "platform/Date.h"

#include <optional>
#include <string>

namespace norvane {

/// A commit that a project's daily activity counts. A commit dated ahead of the clock that first
/// saw it keeps that moment: it stays booked on that day, whenever it is read again.
struct BookedCommit {
    std::string hash;
    std::optional<platform::Date> firstSeenAt;

    bool operator==(const BookedCommit&) const = default;
};

} // namespace norvane
