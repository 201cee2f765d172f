#pragma once

#include "index-server/KeyedAddressCounts.h"
#include "platform/Date.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace norvane::indexserver {

/// How many device ids the service has not seen before each client (a `ClientAddress` key) may
/// bring within an hour, so that one client cannot make up a crowd of contributors and shift
/// everyone's percentiles. The arrivals are counted per ten minutes, each ten minutes in a table
/// of a fixed size (`KeyedAddressCounts`) with hashes of its own, 21 MB in all however many clients
/// come. An arrival counts for the hour after it, and on to the end of its ten minutes. Counts stop
/// at 255 an hour. Its owner calls it from one admission at a time.
class NewDevicesPerAddress {
public:
    static constexpr std::chrono::hours window{1};
    /// The stretch of time whose arrivals share a table.
    using TenMinutes = std::chrono::duration<std::int64_t, std::ratio<600>>;

    explicit NewDevicesPerAddress(std::size_t maxPerHour);

    /// Whether `client` may bring one more new device id at `now`: false when it brought
    /// `maxPerHour` within the hour before.
    bool hasRoom(std::uint64_t client, platform::Date now) const;
    /// Counts one new device id from `client` at `now`, once its report is stored: a report that
    /// could not be kept spends nothing.
    void count(std::uint64_t client, platform::Date now);

private:
    /// The arrivals of ten minutes, numbered by the slice they end with, so that none is dropped
    /// before its hour is over. A quarter of a million entries (2 MB) and as many cells a row
    /// (1 MB): of a million addresses an hour, 170,000 in ten minutes, all but one in 150 are
    /// counted in entries of their own, and those few share cells with few others.
    struct Slice {
        std::int64_t number = -1;
        KeyedAddressCounts arrivals{std::size_t{1} << 18, std::size_t{1} << 18};
    };

    const std::size_t maxPerHour_;
    /// As many as an hour's window touches, by their number modulo their count.
    std::vector<Slice> slices_;
};

} // namespace norvane::indexserver
