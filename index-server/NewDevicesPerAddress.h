#pragma once

#include "platform/Date.h"

#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace norvane::indexserver {

/// How many device ids the service has not seen before each client address may bring within an
/// hour, so that one address cannot make up a crowd of contributors and shift everyone's
/// percentiles.
class NewDevicesPerAddress {
public:
    static constexpr std::chrono::hours window{1};

    explicit NewDevicesPerAddress(std::size_t maxPerHour) : maxPerHour_(maxPerHour) {}

    /// Whether `address` may bring one more new device id at `now`: false when it brought
    /// `maxPerHour` within the hour before.
    bool hasRoom(const std::string& address, platform::Date now);
    /// Counts one new device id from `address` at `now`, once its report is stored: a report that
    /// could not be kept spends nothing.
    void count(const std::string& address, platform::Date now);

private:
    void forgetBefore(platform::Date since);

    const std::size_t maxPerHour_;
    std::mutex mutex_;
    /// Per address, when its new ids came within the window, oldest first.
    std::map<std::string, std::deque<platform::Date>> arrivals_;
    std::size_t admissionsSinceCleanUp_ = 0;
};

} // namespace norvane::indexserver
