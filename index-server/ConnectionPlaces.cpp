#include "index-server/ConnectionPlaces.h"

#include <sys/socket.h>

namespace norvane::indexserver {

ConnectionPlaces::Place::~Place() {
    std::lock_guard lock(owner_.mutex_);
    owner_.giveUp(*holder_);
    owner_.holders_.erase(holder_);
}

void ConnectionPlaces::Place::heard() {
    std::lock_guard lock(owner_.mutex_);
    holder_->lastHeard = std::chrono::steady_clock::now();
}

bool ConnectionPlaces::Place::requestRead() {
    std::lock_guard lock(owner_.mutex_);
    holder_->readingRequest = false;
    return !holder_->dismissed;
}

bool ConnectionPlaces::Place::dismissed() const {
    std::lock_guard lock(owner_.mutex_);
    return holder_->dismissed;
}

void ConnectionPlaces::Place::answering() {
    std::lock_guard lock(owner_.mutex_);
    owner_.giveUp(*holder_);
}

ConnectionPlaces::Admission ConnectionPlaces::admit(int socket, std::uint64_t client) {
    std::lock_guard lock(mutex_);
    const std::size_t newcomersHeld = heldByLocked(client);
    if (newcomersHeld >= maxPerAddress_) {
        return {Outcome::addressHoldsItsShare, nullptr};
    }
    auto outcome = Outcome::placed;
    if (held_ >= maxConnections_) {
        Holder* yields = yielding(newcomersHeld);
        if (yields == nullptr) {
            return {Outcome::everyPlaceTaken, nullptr};
        }
        yields->dismissed = true;
        giveUp(*yields);
        // Ends its wait for its client at once; what it answers is left to its own thread.
        ::shutdown(yields->socket, SHUT_RD);
        outcome = Outcome::placedInsteadOfAnother;
    }
    ++held_;
    ++heldPerClient_[client];
    const auto holder = holders_.insert(
        holders_.end(), {.socket = socket, .client = client, .lastHeard = std::chrono::steady_clock::now()});
    return {outcome, std::make_unique<Place>(*this, holder)};
}

std::size_t ConnectionPlaces::heldBy(std::uint64_t client) const {
    std::lock_guard lock(mutex_);
    return heldByLocked(client);
}

ConnectionPlaces::Holder* ConnectionPlaces::yielding(std::size_t newcomersHeld) {
    Holder* yields = nullptr;
    std::size_t yieldersHeld = 0;
    for (auto& holder : holders_) {
        if (!holder.readingRequest || holder.dismissed) {
            continue;
        }
        const std::size_t held = heldByLocked(holder.client);
        // After the exchange the newcomer's address still holds no more than this one.
        if (held < newcomersHeld + 2) {
            continue;
        }
        if (yields == nullptr || held > yieldersHeld ||
            (held == yieldersHeld && holder.lastHeard < yields->lastHeard)) {
            yields = &holder;
            yieldersHeld = held;
        }
    }
    return yields;
}

std::size_t ConnectionPlaces::heldByLocked(std::uint64_t client) const {
    const auto found = heldPerClient_.find(client);
    return found == heldPerClient_.end() ? 0 : found->second;
}

void ConnectionPlaces::giveUp(Holder& holder) {
    if (!holder.holdsPlace) {
        return;
    }
    holder.holdsPlace = false;
    --held_;
    // Clients without places leave the map, so that it holds only the connected ones.
    if (const auto found = heldPerClient_.find(holder.client); --found->second == 0) {
        heldPerClient_.erase(found);
    }
}

} // namespace norvane::indexserver
