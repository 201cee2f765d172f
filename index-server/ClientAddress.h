#pragma once

#include <cstdint>
#include <string_view>

namespace norvane::indexserver {

/// The client that a peer's address stands for in every bound the service keeps per address. An
/// IPv4 address is a client of its own, also when it comes as an IPv4-mapped IPv6 address; an
/// IPv6 address counts by its /64, the network that one subscriber is given and picks its
/// addresses from at will.
class ClientAddress {
public:
    /// The client of `numericAddress`, as the system writes a peer's address ("192.0.2.7",
    /// "2001:db8::1", "fe80::1%eth0"); one client of its own for text that is no address.
    static ClientAddress of(std::string_view numericAddress);

    /// Tells clients apart: the 32 bits of an IPv4 address under a mark no /64 in use carries, or
    /// the 64 bits of an IPv6 network.
    std::uint64_t key() const { return key_; }

private:
    explicit ClientAddress(std::uint64_t key) : key_(key) {}

    std::uint64_t key_;
};

} // namespace norvane::indexserver
