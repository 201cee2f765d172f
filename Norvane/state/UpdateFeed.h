#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::app {

/// The update feed: a small JSON document {"version": "1.2.0", "url": "https://..."} naming the
/// newest release and the page it is downloaded from.
struct UpdateFeed {
    std::string version;
    std::string url;

    /// None when the document is not such an object, the version is not dotted numbers, or the
    /// address is not http(s).
    static std::optional<UpdateFeed> parse(std::string_view document);
};

/// Compares dotted numeric versions component by component ("1.10" is after "1.9", "1.2" equals
/// "1.2.0"); none when either is not such a version.
std::optional<std::strong_ordering> compareVersions(std::string_view left, std::string_view right);

} // namespace norvane::app
