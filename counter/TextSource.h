#pragma once

#include <cstddef>
#include <string_view>

namespace norvane::counter {

/// A text handed out in windows, so that a file of any size is scanned in bounded memory. Each
/// window after the first begins with the bytes that the reader of the one before kept.
class TextSource {
public:
    /// The most bytes the source scanner keeps from one window to the next.
    static constexpr std::size_t kLongestKept = 512;

    virtual ~TextSource() = default;

    /// The last `keep` bytes of the current window, then the text's next bytes; `keep` leaves room
    /// for at least kLongestKept of them.
    virtual std::string_view next(std::size_t keep) = 0;
    /// True when the current window ends the text.
    virtual bool atEnd() const = 0;
};

} // namespace norvane::counter
