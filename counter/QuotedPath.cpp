#include "counter/QuotedPath.h"

#include <algorithm>

namespace norvane::counter {

namespace {

bool needsQuoting(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\';
}

} // namespace

std::string quotedPath(std::string_view path) {
    if (std::none_of(path.begin(), path.end(), needsQuoting)) {
        return std::string(path);
    }
    static constexpr std::string_view named = "\a\b\t\n\v\f\r";
    static constexpr std::string_view letters = "abtnvfr";
    std::string quoted = "\"";
    for (const char c : path) {
        if (!needsQuoting(c)) {
            quoted += c;
        } else if (c == '"' || c == '\\') {
            quoted += {'\\', c};
        } else if (const auto at = named.find(c); at != std::string_view::npos) {
            quoted += {'\\', letters[at]};
        } else {
            const auto byte = static_cast<unsigned char>(c);
            quoted += {'\\', static_cast<char>('0' + (byte >> 6)), static_cast<char>('0' + (byte >> 3 & 7)),
                       static_cast<char>('0' + (byte & 7))};
        }
    }
    return quoted + "\"";
}

} // namespace norvane::counter
