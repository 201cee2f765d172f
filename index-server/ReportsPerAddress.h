#pragma once

#include "platform/Date.h"

#include <chrono>
#include <cstddef>
#include <map>
#include <string>

namespace norvane::indexserver {

/// How many reports each client address stored on the service's day (the UTC date of its clock), so
/// that one address adds only so much to the disk a day, whatever device ids its reports carry.
/// Addresses are kept for the day alone and in memory alone: the service stores none. Its owner
/// calls it from one admission at a time.
class ReportsPerAddress {
public:
    explicit ReportsPerAddress(std::size_t maxPerDay) : maxPerDay_(maxPerDay) {}

    /// Whether `address` may store one more report at `now`.
    bool hasRoom(const std::string& address, platform::Date now);
    /// Counts one report from `address` at `now`, once it is stored.
    void count(const std::string& address, platform::Date now);

private:
    /// Forgets the counts of the days before the one of `now`.
    void moveTo(platform::Date now);

    const std::size_t maxPerDay_;
    std::chrono::sys_days day_{};
    std::map<std::string, std::size_t> stored_;
};

} // namespace norvane::indexserver
