#include "index-server/ChunkedBody.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>

namespace norvane::indexserver {

namespace {

/// Far more than a chunk size with its extensions, or a trailer, needs.
constexpr std::size_t maxLineBytes = 4096;
/// Sixteen hexadecimal digits fill 64 bits; more cannot be a size anyone sends.
constexpr std::size_t maxSizeDigits = 16;

/// One line without its CRLF; none when the stream fails or ends first, the line is too long or
/// ends in a bare LF.
std::optional<std::string> readLine(httplib::Stream& stream) {
    std::string line;
    char character = 0;
    while (line.size() <= maxLineBytes && stream.read(&character, 1) == 1) {
        if (character == '\n') {
            if (line.empty() || line.back() != '\r') {
                return std::nullopt;
            }
            line.pop_back();
            return line;
        }
        line += character;
    }
    return std::nullopt;
}

enum class SizeFault { none, malformed, tooLarge };

/// The size at the start of a chunk's line, before any extension (";name=value").
SizeFault parseSize(std::string_view line, std::uint64_t& size) {
    auto digits = line.substr(0, line.find(';'));
    digits = digits.substr(0, digits.find_last_not_of(" \t") + 1);
    if (digits.empty() || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
        return SizeFault::malformed;
    }
    if (digits.size() > maxSizeDigits) {
        return SizeFault::tooLarge;
    }
    std::from_chars(digits.data(), digits.data() + digits.size(), size, 16);
    return SizeFault::none;
}

/// Reads `size` bytes, appending them to `body` while it holds no more than `maxBytes`.
bool readData(httplib::Stream& stream, std::uint64_t size, std::size_t maxBytes, std::string& body, bool& tooLarge) {
    std::array<char, 4096> buffer{};
    while (size > 0) {
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, buffer.size()));
        const ssize_t received = stream.read(buffer.data(), wanted);
        if (received <= 0) {
            return false;
        }
        const auto count = static_cast<std::size_t>(received);
        tooLarge = tooLarge || body.size() + count > maxBytes;
        if (!tooLarge) {
            body.append(buffer.data(), count);
        }
        size -= count;
    }
    const auto end = readLine(stream);
    return end && end->empty();
}

} // namespace

ChunkedBody::Outcome ChunkedBody::read(httplib::Stream& stream, std::string& body) const {
    bool tooLarge = false;
    std::uint64_t announced = 0;
    while (true) {
        const auto line = readLine(stream);
        std::uint64_t size = 0;
        const SizeFault fault = line ? parseSize(*line, size) : SizeFault::malformed;
        if (fault == SizeFault::malformed) {
            return tooLarge ? Outcome::tooLarge : Outcome::malformed;
        }
        if (fault == SizeFault::tooLarge || size > readableBytes_ - announced) {
            return Outcome::tooLarge;
        }
        announced += size;
        if (size == 0) {
            break;
        }
        if (!readData(stream, size, maxBytes_, body, tooLarge)) {
            return tooLarge ? Outcome::tooLarge : Outcome::malformed;
        }
    }
    // The trailers, up to the empty line that ends the body.
    for (auto trailer = readLine(stream); trailer; trailer = readLine(stream)) {
        if (trailer->empty()) {
            return tooLarge ? Outcome::tooLarge : Outcome::complete;
        }
    }
    return tooLarge ? Outcome::tooLarge : Outcome::malformed;
}

} // namespace norvane::indexserver
