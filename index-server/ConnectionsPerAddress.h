#pragma once

#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace norvane::indexserver {

/// Counts the connections served per client address, so that no address can hold more than its
/// share of the server's connections.
class ConnectionsPerAddress {
public:
    /// Holds one connection's place until it goes away.
    class Slot {
    public:
        Slot(ConnectionsPerAddress& owner, std::string address) : owner_(&owner), address_(std::move(address)) {}
        ~Slot();
        Slot(Slot&& other) noexcept : owner_(other.owner_), address_(std::move(other.address_)) {
            other.owner_ = nullptr;
        }
        Slot& operator=(Slot&&) = delete;
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;

    private:
        ConnectionsPerAddress* owner_;
        std::string address_;
    };

    explicit ConnectionsPerAddress(std::size_t maxPerAddress) : maxPerAddress_(maxPerAddress) {}

    /// A place for one more connection from `address`; none while it has `maxPerAddress` already.
    std::optional<Slot> acquire(const std::string& address);
    /// The connections from `address` that hold a place now.
    std::size_t count(const std::string& address) const;

private:
    void release(const std::string& address);

    const std::size_t maxPerAddress_;
    mutable std::mutex mutex_;
    std::map<std::string, std::size_t> connections_;
};

} // namespace norvane::indexserver
