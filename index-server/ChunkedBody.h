#pragma once

#include <httplib.h>

#include <cstddef>
#include <string>

namespace norvane::indexserver {

/// Reads a request body sent in chunks, strictly and without waiting for what cannot come: a
/// chunk's size is hexadecimal digits alone (the HTTP library also takes a sign or "0x", and then
/// waits to its deadline for bytes that were never sent), and a chunk announced beyond what the
/// connection may still read is refused at once.
class ChunkedBody {
public:
    enum class Outcome { complete, tooLarge, malformed };

    /// Keeps at most `maxBytes` of the body in `body`; what follows is read and dropped, so that its
    /// sender gets the answer, while the sizes announced stay within `readableBytes`.
    ChunkedBody(std::size_t maxBytes, std::size_t readableBytes) : maxBytes_(maxBytes), readableBytes_(readableBytes) {}

    /// Reads from `stream` to the last chunk and the empty line after its trailers.
    Outcome read(httplib::Stream& stream, std::string& body) const;

private:
    std::size_t maxBytes_;
    std::size_t readableBytes_;
};

} // namespace norvane::indexserver
