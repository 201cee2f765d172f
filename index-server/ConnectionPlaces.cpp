#include "index-server/ConnectionPlaces.h"

#include <sys/socket.h>

namespace norvane::indexserver {

ConnectionPlaces::Place::~Place() {
    std::lock_guard lock(owner_.mutex_);
    if (!holder_->dismissed) {
        owner_.giveUp(*holder_);
    }
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

ConnectionPlaces::Admission ConnectionPlaces::admit(int socket, const std::string& address) {
    std::lock_guard lock(mutex_);
    const std::size_t newcomersHeld = heldByLocked(address);
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
    ++heldPerAddress_[address];
    const auto holder = holders_.insert(
        holders_.end(), {.socket = socket, .address = address, .lastHeard = std::chrono::steady_clock::now()});
    return {outcome, std::make_unique<Place>(*this, holder)};
}

std::size_t ConnectionPlaces::heldBy(const std::string& address) const {
    std::lock_guard lock(mutex_);
    return heldByLocked(address);
}

ConnectionPlaces::Holder* ConnectionPlaces::yielding(std::size_t newcomersHeld) {
    Holder* yields = nullptr;
    std::size_t yieldersHeld = 0;
    for (auto& holder : holders_) {
        if (!holder.readingRequest || holder.dismissed) {
            continue;
        }
        const std::size_t held = heldByLocked(holder.address);
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

std::size_t ConnectionPlaces::heldByLocked(const std::string& address) const {
    const auto found = heldPerAddress_.find(address);
    return found == heldPerAddress_.end() ? 0 : found->second;
}

void ConnectionPlaces::giveUp(Holder& holder) {
    --held_;
    // Addresses without places leave the map, so that it holds only the connected ones.
    if (const auto found = heldPerAddress_.find(holder.address); --found->second == 0) {
        heldPerAddress_.erase(found);
    }
}

} // namespace norvane::indexserver
