#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace norvane::counter {

/// Finds where in a block of text any of a few bytes may stand, many bytes in one step where the
/// processor allows it (SSE2). It finds blanks and line breaks, and up to kMostBytes other bytes;
/// for more, or elsewhere, it is not usable and the caller reads byte by byte.
class ByteFinder {
public:
    static constexpr std::ptrdiff_t kBlockLength = 16;
    static constexpr std::size_t kMostBytes = 6;

    ByteFinder() = default;

    explicit ByteFinder(std::string_view bytes) {
#if defined(__SSE2__)
        std::size_t count = 0;
        for (const char byte : bytes) {
            if (!isBlank(byte) && count == kMostBytes) {
                return;
            }
            if (!isBlank(byte)) {
                bytes_[count++] = _mm_set1_epi8(byte);
            }
        }
        // The slots left look for a blank once more, which changes nothing.
        for (std::size_t index = count; index < kMostBytes; ++index) {
            bytes_[index] = _mm_set1_epi8(' ');
        }
        usable_ = true;
#else
        static_cast<void>(bytes);
#endif
    }

    bool usable() const { return usable_; }

    /// One bit for each of the kBlockLength bytes at `block` that may be one of the bytes, the
    /// first byte's the lowest: every one of them, and blanks and line breaks that may not be.
    std::uint32_t findIn(const char* block) const {
#if defined(__SSE2__)
        const __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
        // Tab, line feed, vertical tab, form feed and carriage return lie next to each other.
        const __m128i fromTab = _mm_sub_epi8(text, _mm_set1_epi8('\t'));
        __m128i found = _mm_cmpeq_epi8(_mm_min_epu8(fromTab, _mm_set1_epi8('\r' - '\t')), fromTab);
        found = _mm_or_si128(found, _mm_cmpeq_epi8(text, _mm_set1_epi8(' ')));
        for (const __m128i& byte : bytes_) {
            found = _mm_or_si128(found, _mm_cmpeq_epi8(text, byte));
        }
        return static_cast<std::uint32_t>(_mm_movemask_epi8(found));
#else
        static_cast<void>(block);
        return 0;
#endif
    }

private:
    static bool isBlank(char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }

#if defined(__SSE2__)
    __m128i bytes_[kMostBytes]{};
#endif
    bool usable_ = false;
};

} // namespace norvane::counter
