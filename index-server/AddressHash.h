#pragma once

#include <cstdint>

namespace norvane::indexserver {

/// Where a client (a `ClientAddress` key) falls in a per-address table: a hash under a seed drawn
/// at random when the hash is made, so that no client can choose whom it shares a place with. Each
/// seed gives a bijection of 64 bits, whose every output bit depends on every input bit: two
/// clients never have the same hash.
class AddressHash {
public:
    AddressHash();

    std::uint64_t operator()(std::uint64_t client) const;

private:
    std::uint64_t seed_;
};

} // namespace norvane::indexserver
