#pragma once

#include <chrono>
#include <cstddef>

namespace norvane::indexserver {

/// What one client may take of the server.
struct ConnectionLimits {
    /// Larger request bodies are refused with 413, whatever their transfer encoding.
    std::size_t maxBodyBytes = 64 * 1024;
    /// Larger header fields in all, the blank line after them included, are refused with 431 (the
    /// request line has a bound of its own, 414).
    std::size_t maxHeadBytes = 16 * 1024;
    /// The time a connection has to deliver its whole request, head and body.
    std::chrono::milliseconds requestTimeout{10000};
    /// Connections served at once. Beyond them a newcomer takes the place of a connection still
    /// reading its request from the address that holds the most, when that address holds at least
    /// two more than the newcomer's; else it is answered 503 (see `ConnectionPlaces`).
    std::size_t maxConnections = 128;
    /// Connections served at once from one client address, counted from the moment they are accepted
    /// until their answers start; more are answered 429 and closed.
    std::size_t maxConnectionsPerAddress = 8;
};

} // namespace norvane::indexserver
