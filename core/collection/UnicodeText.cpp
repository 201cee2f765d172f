#include "core/collection/UnicodeText.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <memory>

namespace norvane::UnicodeText {
namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";

} // namespace

bool isValidUtf8(std::string_view bytes) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const auto length = static_cast<int32_t>(bytes.size());
    int32_t offset = 0;
    while (offset < length) {
        UChar32 c = 0;
        U8_NEXT(data, offset, length, c);
        if (c < 0) {
            return false;
        }
    }
    return true;
}

std::string decodeLossy(std::string_view bytes) {
    if (isAscii(bytes) || isValidUtf8(bytes)) {
        return std::string(bytes);
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

std::string lowercased(std::string_view text) {
    if (isAscii(text)) {
        std::string result(text);
        std::transform(result.begin(), result.end(), result.begin(),
                       [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
        return result;
    }
    auto unicode = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    unicode.toLower(icu::Locale::getRoot());
    std::string result;
    unicode.toUTF8String(result);
    return result;
}

std::string prefixCharacters(std::string_view text, std::size_t count) {
    if (text.size() <= count) {
        return std::string(text); // never more characters than bytes
    }
    const auto unicode = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> breaks(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) {
        return std::string(text);
    }
    breaks->setText(unicode);
    int32_t end = breaks->first();
    for (std::size_t taken = 0; taken < count; ++taken) {
        const int32_t next = breaks->next();
        if (next == icu::BreakIterator::DONE) {
            break;
        }
        end = next;
    }
    std::string result;
    unicode.tempSubString(0, end).toUTF8String(result);
    return result;
}

} // namespace norvane::UnicodeText
