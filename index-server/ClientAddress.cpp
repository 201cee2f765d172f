#include "index-server/ClientAddress.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <string>

namespace norvane::indexserver {

namespace {

/// The bits above an IPv4 address in its key: 0:ffff::/32 lies in the reserved ::/8, so that no
/// IPv6 network in use shares a key with an IPv4 address.
constexpr std::uint64_t ipv4Mark = 0x0000'FFFF'0000'0000;
/// The key of text that is no address.
constexpr std::uint64_t unknown = ~std::uint64_t{0};

std::uint64_t bigEndian(const unsigned char* bytes, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t index = 0; index < count; ++index) {
        value = value << 8 | bytes[index];
    }
    return value;
}

} // namespace

ClientAddress ClientAddress::of(std::string_view numericAddress) {
    // A link-local address names its interface after "%".
    const std::string address(numericAddress.substr(0, numericAddress.find('%')));
    std::array<unsigned char, 16> bytes{};
    if (inet_pton(AF_INET, address.c_str(), bytes.data()) == 1) {
        return ClientAddress(ipv4Mark | bigEndian(bytes.data(), 4));
    }
    if (inet_pton(AF_INET6, address.c_str(), bytes.data()) != 1) {
        return ClientAddress(unknown);
    }
    constexpr std::array<unsigned char, 12> mappedPrefix{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    if (std::equal(mappedPrefix.begin(), mappedPrefix.end(), bytes.begin())) {
        return ClientAddress(ipv4Mark | bigEndian(bytes.data() + 12, 4));
    }
    return ClientAddress(bigEndian(bytes.data(), 8));
}

} // namespace norvane::indexserver
