#include "index-server/ClientAddress.h"
#include "index-server/NewDevicesPerAddress.h"
#include "index-server/ReportsPerAddress.h"

#include "tests/support/LocalDate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace norvane::indexserver {
namespace {

std::uint64_t client(const std::string& address) { return ClientAddress::of(address).key(); }

/// The IPv4 address numbered `index` from 10.0.0.0 on.
std::string ipv4Address(std::uint32_t index) {
    const std::uint32_t at = 0x0A000000 + index;
    return std::to_string(at >> 24) + "." + std::to_string(at >> 16 & 0xFF) + "." + std::to_string(at >> 8 & 0xFF) +
           "." + std::to_string(at & 0xFF);
}

// An IPv6 client picks its addresses within its /64 at will: each new one was a client of its own.
TEST(PerAddressBounds, AnIpv6ClientIsItsSlash64AndAnIpv4ClientItsAddressHoweverWritten) {
    EXPECT_EQ(client("2001:db8:0:7::1"), client("2001:db8:0:7:a1b2:c3d4:e5f6:1234"));
    EXPECT_EQ(client("fe80::1%eth0"), client("fe80::2"));
    EXPECT_NE(client("2001:db8:0:7::1"), client("2001:db8:0:8::1"));
    EXPECT_EQ(client("::ffff:192.0.2.7"), client("192.0.2.7"));
    EXPECT_NE(client("192.0.2.7"), client("192.0.2.8"));
    EXPECT_NE(client("::1"), client("0.0.0.1"));

    ReportsPerAddress reports(3);
    const auto now = testing::utc("2025-03-20T12:00:00Z");
    for (const char* address : {"2001:db8:0:7::1", "2001:db8:0:7::2", "2001:db8:0:7::3"}) {
        reports.count(client(address), now);
    }
    EXPECT_FALSE(reports.hasRoom(client("2001:db8:0:7::4"), now));
    EXPECT_TRUE(reports.hasRoom(client("2001:db8:0:8::1"), now));
}

// One table entry per address took 0.9 KB for the day: now the tables are of a fixed size, and a
// million addresses in a day neither let one of them past its bounds nor shut out one that keeps
// to them.
TEST(PerAddressBounds, AMillionAddressesInADayStopEachAtItsBoundsAndShutOutNone) {
    constexpr std::uint32_t addresses = 1'000'000;
    const auto midnight = testing::utc("2025-03-20T00:00:00Z");
    const auto arrival = [&](std::uint32_t index) { return midnight + std::chrono::milliseconds(index * 86); };
    ReportsPerAddress reports(5000);
    NewDevicesPerAddress newDevices(10);
    std::vector<std::uint64_t> clients;
    for (std::uint32_t index = 0; index < addresses; ++index) {
        // One new device and three reports each, one address after the other over the day.
        clients.push_back(client(ipv4Address(index)));
        for (int report = 0; report < 3; ++report) reports.count(clients.back(), arrival(index));
        newDevices.count(clients.back(), arrival(index));
    }
    const auto evening = arrival(addresses);
    std::uint32_t shutOut = 0;
    for (std::uint32_t index = 0; index < addresses; ++index) {
        // New devices count for an hour: these are the last hour's addresses.
        const bool withinTheHour = arrival(index) > evening - NewDevicesPerAddress::window;
        shutOut += !reports.hasRoom(clients[index], evening) ||
                   (withinTheHour && !newDevices.hasRoom(clients[index], evening));
    }
    EXPECT_EQ(shutOut, 0u);

    const auto office = client("2001:db8:1:2::1");
    int stored = 0;
    for (; reports.hasRoom(office, evening) && stored < 6000; ++stored) reports.count(office, evening);
    // It may share each of its cells with an address of three reports (one address in seven does).
    EXPECT_LE(stored, 5000);
    EXPECT_GE(stored, 4997);
    int brought = 0;
    for (; newDevices.hasRoom(office, evening) && brought < 20; ++brought) newDevices.count(office, evening);
    // Shares each of its cells of a ten minutes' table with one of that time's 7,000 addresses
    // about once in a million times.
    EXPECT_LE(brought, 10);
    EXPECT_GE(brought, 9);
    EXPECT_TRUE(reports.hasRoom(office, midnight + std::chrono::days(1))) << "the next day";
}

} // namespace
} // namespace norvane::indexserver
