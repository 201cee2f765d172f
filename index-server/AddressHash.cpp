#include "index-server/AddressHash.h"

#include <random>

namespace norvane::indexserver {

AddressHash::AddressHash() {
    std::random_device random;
    seed_ = std::uint64_t{random()} << 32 | random();
}

std::uint64_t AddressHash::operator()(std::uint64_t client) const {
    std::uint64_t value = client ^ seed_;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EB;
    return value ^ (value >> 31);
}

} // namespace norvane::indexserver
