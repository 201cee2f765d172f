#include "index-server/ConnectionsPerAddress.h"

namespace norvane::indexserver {

ConnectionsPerAddress::Slot::~Slot() {
    if (owner_ != nullptr) {
        owner_->release(address_);
    }
}

std::optional<ConnectionsPerAddress::Slot> ConnectionsPerAddress::acquire(const std::string& address) {
    std::lock_guard lock(mutex_);
    auto& count = connections_[address];
    if (count >= maxPerAddress_) {
        return std::nullopt;
    }
    ++count;
    return Slot(*this, address);
}

std::size_t ConnectionsPerAddress::count(const std::string& address) const {
    std::lock_guard lock(mutex_);
    const auto found = connections_.find(address);
    return found == connections_.end() ? 0 : found->second;
}

void ConnectionsPerAddress::release(const std::string& address) {
    std::lock_guard lock(mutex_);
    // Addresses without connections leave the map, so that it holds only the connected ones.
    if (const auto found = connections_.find(address); found != connections_.end() && --found->second == 0) {
        connections_.erase(found);
    }
}

} // namespace norvane::indexserver
