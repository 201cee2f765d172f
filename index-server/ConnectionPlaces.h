#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>

namespace norvane::indexserver {

/// The server's places for connections and who holds them. A connection holds its place from the
/// moment it is accepted, while it still waits for a thread too, until its answer starts to go
/// out, so that a client that has read its answer finds that place free for its next connection;
/// one address holds at most its share of them. Once every place is taken, a newcomer takes the place
/// of a connection that is still reading its request, of the address that holds the most, and only
/// when that address holds at least two more than the newcomer's: what protects a connection is
/// its address's share, not how busily its client sends, and a client with one connection never
/// yields. Of the addresses that hold as many, the connection whose client has been silent longest
/// yields.
class ConnectionPlaces {
    struct Holder {
        int socket;
        std::uint64_t client;
        std::chrono::steady_clock::time_point lastHeard;
        /// Until its whole request is read; then it is answered and yields to no one.
        bool readingRequest = true;
        bool dismissed = false;
        /// Until its answer starts, it yields or it ends.
        bool holdsPlace = true;
    };

public:
    /// One connection's place, given back when it goes away, before its socket closes.
    class Place {
    public:
        Place(ConnectionPlaces& owner, std::list<Holder>::iterator holder) : owner_(owner), holder_(holder) {}
        ~Place();
        Place(const Place&) = delete;
        Place& operator=(const Place&) = delete;

        /// The client sent bytes.
        void heard();
        /// The whole request is read: from now on the connection is answered and yields to no one.
        /// False when it gave its place up before.
        bool requestRead();
        /// Whether the connection gave its place up to a newcomer; nothing more is read or written
        /// then.
        bool dismissed() const;
        /// Its answer starts to go out: what is left, the writing within its time-out, holds no
        /// place.
        void answering();

    private:
        ConnectionPlaces& owner_;
        std::list<Holder>::iterator holder_;
    };

    enum class Outcome {
        placed,
        /// In the place of a connection that was told to end, whose thread will serve it.
        placedInsteadOfAnother,
        addressHoldsItsShare,
        everyPlaceTaken,
    };

    struct Admission {
        Outcome outcome;
        /// None when refused.
        std::unique_ptr<Place> place;
    };

    ConnectionPlaces(std::size_t maxConnections, std::size_t maxPerAddress)
        : maxConnections_(maxConnections), maxPerAddress_(maxPerAddress) {}

    /// Finds a place for a connection from `client` (a `ClientAddress` key), on `socket`, at once.
    Admission admit(int socket, std::uint64_t client);
    /// The places that connections from `client` hold now.
    std::size_t heldBy(std::uint64_t client) const;

private:
    /// The connection that yields to a newcomer from an address that holds `newcomersHeld` places;
    /// none when none may. The caller holds `mutex_`.
    Holder* yielding(std::size_t newcomersHeld);
    /// The caller holds `mutex_`.
    std::size_t heldByLocked(std::uint64_t client) const;
    /// Gives the place of `holder` back, unless it did before. The caller holds `mutex_`.
    void giveUp(Holder& holder);

    const std::size_t maxConnections_;
    const std::size_t maxPerAddress_;
    mutable std::mutex mutex_;
    /// Every connection with a place, and those that gave theirs up until they end.
    std::list<Holder> holders_;
    std::map<std::uint64_t, std::size_t> heldPerClient_;
    std::size_t held_ = 0;
};

} // namespace norvane::indexserver
