#pragma once

#include <httplib.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace norvane::indexserver {

/// What the bytes of a request's head told as they were read, so that a head the server does not
/// take is answered as HTTP asks rather than with a bare 400 or nothing: a request line too long
/// 414, a header field or all of them too large 431, naming the field.
class RequestHead {
public:
    /// The longest request line and header field line, line break included, that the HTTP library
    /// reads.
    static constexpr std::size_t longestRequestLine = CPPHTTPLIB_REQUEST_URI_MAX_LENGTH;
    static constexpr std::size_t longestFieldLine = CPPHTTPLIB_HEADER_MAX_LENGTH;

    /// Takes the next bytes of the head.
    void read(std::string_view bytes);
    /// The bytes of header fields read, the blank line after them included: the request line has
    /// a bound of its own.
    std::size_t fieldBytes() const { return fieldBytes_; }
    /// The header fields went past `maxHeadBytes` (or the head past what may be read of one), where its
    /// reading stopped.
    void cutAt(std::size_t maxHeadBytes) { cutAt_ = maxHeadBytes; }

    /// The status and message for a head that could not be read whole: none when nothing above
    /// happened.
    std::optional<std::pair<int, std::string>> fault() const;

private:
    /// The name at the start of the line being read.
    std::optional<std::string> fieldName() const;

    bool requestLineEnded_ = false;
    bool longRequestLine_ = false;
    std::size_t lineBytes_ = 0;
    std::size_t fieldBytes_ = 0;
    /// The start of the line being read, enough to name its field.
    std::string lineStart_;
    std::optional<std::string> longField_;
    std::optional<std::size_t> cutAt_;
};

} // namespace norvane::indexserver
