#include "platform/UnicodeText.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

namespace norvane::platform::UnicodeText {
namespace {

/// The length of the ASCII run that `text` starts with, read a word at a time.
std::size_t asciiPrefixLength(std::string_view text) {
    constexpr std::uint64_t highBits = 0x8080808080808080U;
    std::size_t length = 0;
    for (std::uint64_t word = 0; length + sizeof word <= text.size(); length += sizeof word) {
        std::memcpy(&word, text.data() + length, sizeof word);
        if ((word & highBits) != 0) {
            break;
        }
    }
    while (length < text.size() && static_cast<unsigned char>(text[length]) < 0x80) {
        ++length;
    }
    return length;
}

bool isAscii(std::string_view text) { return asciiPrefixLength(text) == text.size(); }

constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";

std::string asciiLowercased(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return result;
}

icu::UnicodeString unicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

std::string utf8(const icu::UnicodeString& text) {
    std::string result;
    text.toUTF8String(result);
    return result;
}

/// The columns of one code point; 1 for a byte that is not UTF-8 (`c` < 0).
std::size_t codePointWidth(UChar32 c) {
    if (c < 0) {
        return 1;
    }
    const auto type = u_charType(c);
    const auto hangul = u_getIntPropertyValue(c, UCHAR_HANGUL_SYLLABLE_TYPE);
    if (type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || type == U_FORMAT_CHAR || type == U_CONTROL_CHAR ||
        hangul == U_HST_VOWEL_JAMO || hangul == U_HST_TRAILING_JAMO) {
        return 0;
    }
    const auto eastAsian = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
    return eastAsian == U_EA_WIDE || eastAsian == U_EA_FULLWIDTH ? 2 : 1;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const auto length = static_cast<int32_t>(bytes.size());
    // ASCII runs, most of any program's output, are passed over a word at a time.
    auto offset = static_cast<int32_t>(asciiPrefixLength(bytes));
    while (offset < length) {
        UChar32 c = 0;
        U8_NEXT(data, offset, length, c);
        if (c < 0) {
            return false;
        }
        offset += static_cast<int32_t>(asciiPrefixLength(bytes.substr(static_cast<std::size_t>(offset))));
    }
    return true;
}

std::string decodeLossy(std::string bytes) {
    if (isValidUtf8(bytes)) {
        return bytes;
    }
    std::string result;
    result.reserve(bytes.size() + 16);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const auto length = static_cast<int32_t>(bytes.size());
    int32_t offset = 0;
    while (offset < length) {
        const int32_t start = offset;
        UChar32 c = 0;
        U8_NEXT(data, offset, length, c);
        if (c < 0) {
            result.append(replacementCharacter);
        } else {
            result.append(bytes.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(offset - start)));
        }
    }
    return result;
}

bool canonicallyEqual(std::string_view first, std::string_view second) {
    if (first == second) {
        return true;
    }
    if (!isValidUtf8(first) || !isValidUtf8(second)) {
        return false;
    }
    UErrorCode status = U_ZERO_ERROR;
    const auto* decomposition = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status)) {
        return false;
    }
    const auto firstDecomposed = decomposition->normalize(unicode(first), status);
    const auto secondDecomposed = decomposition->normalize(unicode(second), status);
    return U_SUCCESS(status) && firstDecomposed == secondDecomposed;
}

std::string lowercased(std::string_view text) {
    if (isAscii(text)) {
        return asciiLowercased(text);
    }
    return utf8(unicode(text).toLower(icu::Locale::getRoot()));
}

std::string caseFolded(std::string_view text) {
    if (isAscii(text)) {
        return asciiLowercased(text); // ASCII letters fold to their lower case
    }
    return utf8(unicode(text).foldCase(U_FOLD_CASE_DEFAULT));
}

std::size_t displayWidth(std::string_view text) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::size_t width = 0;
    std::size_t previous = 0;
    for (std::int32_t offset = 0; offset < length;) {
        UChar32 c = 0;
        U8_NEXT(data, offset, length, c);
        const auto columns = codePointWidth(c);
        // The emoji selector draws the character before it as a picture, two columns wide.
        width += c == 0xFE0F && previous == 1 ? 1 : columns;
        previous = columns;
    }
    return width;
}

std::string prefixColumns(std::string_view text, std::size_t columns) {
    if (displayWidth(text) <= columns) {
        return std::string(text);
    }
    const auto characters = unicode(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> breaks(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) {
        return {};
    }
    breaks->setText(characters);
    std::size_t used = 0;
    int32_t end = breaks->first();
    for (int32_t next = breaks->next(); next != icu::BreakIterator::DONE; next = breaks->next()) {
        used += displayWidth(utf8(characters.tempSubString(end, next - end)));
        if (used > columns) {
            break;
        }
        end = next;
    }
    return utf8(characters.tempSubString(0, end));
}

std::string prefixCharacters(std::string_view text, std::size_t count) {
    if (text.size() <= count) {
        return std::string(text); // never more characters than bytes
    }
    const auto characters = unicode(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> breaks(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) {
        return std::string(text);
    }
    breaks->setText(characters);
    int32_t end = breaks->first();
    for (std::size_t taken = 0; taken < count; ++taken) {
        const int32_t next = breaks->next();
        if (next == icu::BreakIterator::DONE) {
            break;
        }
        end = next;
    }
    return utf8(characters.tempSubString(0, end));
}

} // namespace norvane::platform::UnicodeText
