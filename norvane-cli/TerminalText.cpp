#include "norvane-cli/TerminalText.h"

#include <fmt/format.h>

#include <cstdint>

namespace norvane::cli::TerminalText {
namespace {

/// The length of the well-formed UTF-8 sequence that starts `text`, or 0 when it does not start
/// with one (a stray continuation byte, an overlong form, a surrogate, a cut sequence).
std::size_t sequenceLength(std::string_view text) {
    const auto byte = [&text](std::size_t index) { return static_cast<unsigned char>(text[index]); };
    const auto lead = byte(0);
    std::size_t length = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    if (lead >= 0xE0 && lead <= 0xEF) length = 3;
    if (lead >= 0xF0 && lead <= 0xF4) length = 4;
    if (length == 0 || text.size() < length) return 0;
    for (std::size_t index = 1; index < length; ++index) {
        if ((byte(index) & 0xC0) != 0x80) return 0;
    }
    const auto second = byte(1);
    const bool overlongOrSurrogate = (lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
                                     (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F);
    return overlongOrSurrogate ? 0 : length;
}

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
    while (!text.empty()) {
        const auto lead = static_cast<unsigned char>(text.front());
        const auto length = sequenceLength(text);
        if (length == 0) {
            shown += fmt::format("\\x{:02x}", lead);
            text.remove_prefix(1);
            continue;
        }
        const auto second = length > 1 ? static_cast<unsigned char>(text[1]) : 0;
        if (lead < 0x20 || lead == 0x7F) {
            shown += escapeControl(lead);
        } else if (lead == 0xC2 && second < 0xA0) {
            // U+0080 to U+009F, the C1 controls (a single CSI among them).
            shown += fmt::format("\\u{:04x}", second);
        } else {
            shown.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return shown;
}

} // namespace norvane::cli::TerminalText
