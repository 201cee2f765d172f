#include "index-server/AddressCounts.h"
#include "index-server/ClientAddress.h"
#include "index-server/KeyedAddressCounts.h"
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

/// The key of the IPv4 address numbered `index` from 10.0.0.0 on: consecutive addresses have
/// consecutive keys, as the first test checks, and a million of them take no million texts to read.
std::uint64_t ipv4Client(std::uint32_t index) {
    static const std::uint64_t first = client("10.0.0.0");
    return first + index;
}

/// The key of the /64 numbered `index` in the IPv6 /48 2001:db8:7::/48.
std::uint64_t ipv6Client(std::uint16_t index) {
    static const std::uint64_t first = client("2001:db8:7::");
    return first + index;
}

// An IPv6 client picks its addresses within its /64 at will: each new one was a client of its own.
TEST(PerAddressBounds, AnIpv6ClientIsItsSlash64AndAnIpv4ClientItsAddressHoweverWritten) {
    EXPECT_EQ(client("2001:db8:0:7::1"), client("2001:db8:0:7:a1b2:c3d4:e5f6:1234"));
    EXPECT_EQ(client("fe80::1%eth0"), client("fe80::2"));
    EXPECT_NE(client("2001:db8:0:7::1"), client("2001:db8:0:8::1"));
    EXPECT_EQ(client("::ffff:192.0.2.7"), client("192.0.2.7"));
    EXPECT_NE(client("192.0.2.7"), client("192.0.2.8"));
    EXPECT_NE(client("::1"), client("0.0.0.1"));
    EXPECT_EQ(client("10.1.2.3"), ipv4Client(0x010203));
    EXPECT_EQ(client("2001:db8:7:a1b2:3::1"), ipv6Client(0xa1b2));

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
        clients.push_back(ipv4Client(index));
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

/// How many of `count` addresses, numbered from `first` on, are refused before they brought `each`
/// new devices at `now`.
int refusedBefore(NewDevicesPerAddress& newDevices, std::uint32_t first, std::uint32_t count, int each,
                  platform::Date now) {
    int refused = 0;
    for (std::uint32_t index = first; index < first + count; ++index) {
        const auto address = ipv4Client(index);
        int brought = 0;
        for (; brought < each && newDevices.hasRoom(address, now); ++brought) newDevices.count(address, now);
        refused += brought < each;
    }
    return refused;
}

// A million new devices an hour, each from an address of its own, kept 26 % of the addresses that
// then brought 10 from their tenth: an address that came in a ten minutes' table met in it, one
// time in twenty, the cells of those that came before. Now each address is counted on its own.
TEST(PerAddressBounds, AMillionNewDevicesAnHourLeaveEveryAddressItsTen) {
    const auto start = testing::utc("2025-03-20T00:00:00Z");
    constexpr std::uint32_t addresses = 1'000'000;
    NewDevicesPerAddress newDevices(10);
    for (std::uint32_t index = 0; index < addresses; ++index) {
        const auto at = start + std::chrono::microseconds(std::int64_t{index} * 3600);
        newDevices.count(ipv4Client(index), at);
    }
    const auto end = start + NewDevicesPerAddress::window;
    EXPECT_EQ(refusedBefore(newDevices, addresses, 20'000, 10, end), 0);
    // And none brings an eleventh.
    EXPECT_EQ(refusedBefore(newDevices, addresses, 20'000, 1, end), 20'000);
}

// The 65,536 /64s of one IPv6 /48 that brought 10 new devices each within 96 s refused 45 of 20,000
// fresh addresses their first, and, coming back every 70 minutes, the same ones each time.
TEST(PerAddressBounds, NoAttackerKeepsAnAddressFromItsFirstNewDevice) {
    NewDevicesPerAddress newDevices(10);
    auto now = testing::utc("2025-03-20T00:00:00Z");
    for (int visit = 0; visit < 3; ++visit) {
        for (std::uint32_t network = 0; network < 65'536; ++network) {
            const auto attacker = ipv6Client(static_cast<std::uint16_t>(network));
            for (int device = 0; device < 10 && newDevices.hasRoom(attacker, now); ++device) {
                newDevices.count(attacker, now);
            }
            if (network % 683 == 0) now += std::chrono::seconds(1);
        }
        EXPECT_EQ(refusedBefore(newDevices, 0, 20'000, 1, now), 0) << "visit " << visit;
        now += std::chrono::minutes(70);
    }
}

// An attacker that learnt whom its addresses share cells with, by whom it kept out, would keep the
// same addresses out each time it came back. With four cells a row, one client in 256 shares all
// four of another's: the clients that one client's count reaches change at each new period.
TEST(PerAddressBounds, EachPeriodOfATableSharesItsCellsAfresh) {
    AddressCounts<std::uint8_t> counts(4);
    const auto reached = [&] {
        counts.clear();
        counts.add(0);
        std::vector<std::uint64_t> clients;
        for (std::uint64_t other = 1; other <= 20'000; ++other) {
            if (counts.count(other) > 0) clients.push_back(other);
        }
        return clients;
    };
    const auto first = reached();
    const auto second = reached();
    EXPECT_GT(first.size(), 20u);
    EXPECT_GT(second.size(), 20u);
    EXPECT_NE(first, second);
}

// Entries count exactly; past them, clients share cells, which count none of them short.
TEST(PerAddressBounds, ATableOfEntriesCountsExactlyUntilItFillsAndNoneShortAfter) {
    KeyedAddressCounts counts(4096, 1024);
    const auto brought = [](std::uint64_t client) { return static_cast<std::uint8_t>(client % 5 + 1); };
    const auto fill = [&](std::uint64_t clients) {
        for (std::uint64_t client = 0; client < clients; ++client) {
            for (int arrival = 0; arrival < brought(client); ++arrival) counts.add(client);
        }
    };
    fill(1000);
    for (std::uint64_t client = 0; client < 2000; ++client) {
        ASSERT_EQ(counts.count(client), client < 1000 ? brought(client) : 0) << client;
    }
    counts.clear();
    fill(20'000);
    int exact = 0;
    for (std::uint64_t client = 0; client < 20'000; ++client) {
        ASSERT_GE(counts.count(client), brought(client)) << client;
        exact += counts.count(client) == brought(client);
    }
    EXPECT_GE(exact, 4096);
}

} // namespace
} // namespace norvane::indexserver
