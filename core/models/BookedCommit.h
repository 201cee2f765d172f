#pragma once

#include "platform/Date.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvane {

/// A commit that a project's daily activity counts. A commit dated ahead of the clock that first
/// saw it keeps that moment: it stays booked on that day, whenever it is read again.
struct BookedCommit {
    std::string hash;
    std::optional<platform::Date> firstSeenAt;

    bool operator==(const BookedCommit&) const = default;

    /// "HASH" or "HASH@MICROSECONDS", separated by spaces: the form the store keeps.
    static std::string join(const std::vector<BookedCommit>& commits);
    /// The commits of `join`'s text; entries that do not read are left out.
    static std::vector<BookedCommit> split(std::string_view text);
};

} // namespace norvane
