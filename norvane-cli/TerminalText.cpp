#include "norvane-cli/TerminalText.h"

#include <fmt/format.h>
#include <unicode/utf8.h>

#include <cstdint>

namespace norvane::cli::TerminalText {
namespace {

std::string escapeControl(unsigned char byte) {
    switch (byte) {
    case '\n': return "\\n";
    case '\t': return "\\t";
    case '\r': return "\\r";
    default: return fmt::format("\\x{:02x}", byte);
    }
}

} // namespace

std::string printable(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t offset = 0;
    while (offset < length) {
        const std::int32_t start = offset;
        UChar32 c = 0;
        U8_NEXT(data, offset, length, c);
        if (c < 0) {
            // Each byte of what is not UTF-8 is shown on its own.
            shown += fmt::format("\\x{:02x}", data[start]);
            offset = start + 1;
        } else if (c < 0x20 || c == 0x7F) {
            shown += escapeControl(static_cast<unsigned char>(c));
        } else if (c >= 0x80 && c <= 0x9F) {
            // The C1 controls (a single CSI among them).
            shown += fmt::format("\\u{:04x}", c);
        } else {
            shown.append(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(offset - start)));
        }
    }
    return shown;
}

} // namespace norvane::cli::TerminalText
