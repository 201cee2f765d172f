#pragma once

#include "platform/Date.h"

#include <optional>
#include <string>

namespace norvane {

/// The commit that a snapshot recorded.
struct RecordedCommit {
    std::optional<std::string> hash;
    std::optional<std::string> message;
    std::optional<std::string> author;
    std::optional<platform::Date> date;

    bool operator==(const RecordedCommit&) const = default;
};

} // namespace norvane
