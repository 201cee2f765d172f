#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace norvane::counter {

/// Finds any of a few bytes in a block of text at once, where the processor compares many bytes
/// in one step (SSE2). Elsewhere, or for more bytes than it compares at once, it is not usable, and
/// the caller reads byte by byte.
class ByteFinder {
public:
    static constexpr std::ptrdiff_t kBlockLength = 16;
    static constexpr std::size_t kMostBytes = 12;

    ByteFinder() = default;

    explicit ByteFinder(std::string_view bytes) {
#if defined(__SSE2__)
        if (!bytes.empty() && bytes.size() <= kMostBytes) {
            for (const char byte : bytes) {
                bytes_[count_++] = _mm_set1_epi8(byte);
            }
        }
#else
        static_cast<void>(bytes);
#endif
    }

    bool usable() const { return count_ != 0; }

    /// One bit for each of the kBlockLength bytes at `block` that is one of the bytes, the first
    /// byte's the lowest.
    std::uint32_t findIn(const char* block) const {
#if defined(__SSE2__)
        const __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
        __m128i found = _mm_cmpeq_epi8(text, bytes_[0]);
        for (std::size_t index = 1; index < count_; ++index) {
            found = _mm_or_si128(found, _mm_cmpeq_epi8(text, bytes_[index]));
        }
        return static_cast<std::uint32_t>(_mm_movemask_epi8(found));
#else
        static_cast<void>(block);
        return 0;
#endif
    }

private:
#if defined(__SSE2__)
    __m128i bytes_[kMostBytes]{};
#endif
    std::size_t count_ = 0;
};

} // namespace norvane::counter
