#pragma once

#include "index-server/AddressCounts.h"
#include "platform/Date.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace norvane::indexserver {

/// How many reports each client (a `ClientAddress` key) stored on the service's day (the UTC date
/// of its clock), so that one client adds only so much to the disk a day, whatever device ids its
/// reports carry. The counts are kept for the day alone, in memory alone, in a table of a fixed
/// 8 MB however many clients come (`AddressCounts`, hashed afresh each day): no client stores more
/// than it may, and one is stopped short of that only when each of its cells is shared with clients
/// that stored more. Its owner calls it from one admission at a time.
class ReportsPerAddress {
public:
    explicit ReportsPerAddress(std::size_t maxPerDay) : maxPerDay_(maxPerDay) {}

    /// Whether `client` may store one more report at `now`.
    bool hasRoom(std::uint64_t client, platform::Date now);
    /// Counts one report from `client` at `now`, once it is stored.
    void count(std::uint64_t client, platform::Date now);

private:
    /// Forgets the counts of the days before the one of `now`.
    void moveTo(platform::Date now);

    const std::size_t maxPerDay_;
    std::chrono::sys_days day_{};
    /// A million cells a row: a million clients a day, each with a few reports, leave nearly every
    /// client a cell of its own.
    AddressCounts<std::uint16_t> stored_{std::size_t{1} << 20};
};

} // namespace norvane::indexserver
