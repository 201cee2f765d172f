#include "norvane-cli/TerminalText.h"

#include <fmt/format.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <array>
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

/// Characters that show nothing of their own, or change how the text around them shows: the
/// format characters (bidirectional overrides and isolates, zero-width spaces and joiners, the
/// byte order mark, the soft hyphen, tags), the line and paragraph separators, and every other
/// code point that a terminal may draw as nothing (fillers, variation selectors, the combining
/// grapheme joiner).
bool isInvisible(UChar32 c) {
    const auto type = u_charType(c);
    return type == U_FORMAT_CHAR || type == U_LINE_SEPARATOR || type == U_PARAGRAPH_SEPARATOR ||
           u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
}

/// The most code points that an emoji sequence is looked for in; the longest recommended ones,
/// such as a kiss of two people with their skin tones, have ten.
constexpr std::size_t longestEmojiSequence = 16;

bool mayBeInEmojiSequence(UChar32 c) {
    return u_hasBinaryProperty(c, UCHAR_EMOJI) || u_hasBinaryProperty(c, UCHAR_EMOJI_COMPONENT) || c == 0xFE0E;
}

/// The bytes of the longest emoji sequence that Unicode recommends (and the terminal's fonts draw as
/// one picture) which `text` starts with and which holds a character that would otherwise be
/// escaped: a heart with its emoji selector, a family of people joined by zero-width joiners, a
/// keycap, a flag spelt in tags. 0 for none: outside such a sequence those characters stay escaped.
std::size_t emojiSequenceLength(std::string_view text) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    icu::UnicodeString sequence;
    // After each code point taken: the sequence's length in UTF-16 units and in bytes.
    std::array<std::pair<std::int32_t, std::int32_t>, longestEmojiSequence> ends{};
    std::size_t taken = 0;
    bool holdsInvisible = false;
    for (std::int32_t offset = 0; offset < length && taken < longestEmojiSequence;) {
        UChar32 c = 0;
        U8_NEXT(data, offset, length, c);
        if (c < 0 || !mayBeInEmojiSequence(c)) {
            break;
        }
        holdsInvisible = holdsInvisible || isInvisible(c);
        sequence.append(c);
        ends[taken++] = {sequence.length(), offset};
    }
    if (!holdsInvisible) {
        return 0;
    }
    for (; taken >= 2; --taken) {
        if (u_stringHasBinaryProperty(sequence.getBuffer(), ends[taken - 1].first, UCHAR_RGI_EMOJI)) {
            return static_cast<std::size_t>(ends[taken - 1].second);
        }
    }
    return 0;
}

std::string escapeCodePoint(UChar32 c) {
    return c > 0xFFFF ? fmt::format("\\U{:08x}", c) : fmt::format("\\u{:04x}", c);
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
        } else if (c == '\\') {
            // Doubled, so that no name can print as an escape that another name needs.
            shown += "\\\\";
        } else if (const auto emoji = u_hasBinaryProperty(c, UCHAR_EMOJI)
                                          ? emojiSequenceLength(text.substr(static_cast<std::size_t>(start)))
                                          : 0;
                   emoji > 0) {
            // What the user typed to get the picture, joiners and selectors included.
            shown.append(text.substr(static_cast<std::size_t>(start), emoji));
            offset = start + static_cast<std::int32_t>(emoji);
        } else if ((c >= 0x80 && c <= 0x9F) || isInvisible(c)) {
            // The C1 controls (a single CSI among them), and what could reverse or hide a name.
            shown += escapeCodePoint(c);
        } else {
            shown.append(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(offset - start)));
        }
    }
    return shown;
}

} // namespace norvane::cli::TerminalText
