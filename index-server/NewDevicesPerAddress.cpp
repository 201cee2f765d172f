#include "index-server/NewDevicesPerAddress.h"

#include <algorithm>

namespace norvane::indexserver {

NewDevicesPerAddress::NewDevicesPerAddress(std::size_t maxPerHour)
    : maxPerHour_(maxPerHour), slices_(window / TenMinutes(1) + 1) {}

bool NewDevicesPerAddress::hasRoom(std::uint64_t client, platform::Date now) const {
    // A slice that ended an hour or more ago holds no arrival within the hour.
    const auto earliest = std::chrono::floor<TenMinutes>(now - window).time_since_epoch().count();
    std::size_t arrivals = 0;
    for (const auto& counted : slices_) {
        if (counted.number > earliest) {
            arrivals += counted.arrivals.count(client);
        }
    }
    return arrivals < std::min<std::size_t>(maxPerHour_, KeyedAddressCounts::most);
}

void NewDevicesPerAddress::count(std::uint64_t client, platform::Date now) {
    const auto number = std::chrono::ceil<TenMinutes>(now).time_since_epoch().count();
    auto& counted = slices_[static_cast<std::size_t>(number) % slices_.size()];
    if (counted.number != number) {
        counted.number = number;
        counted.arrivals.clear();
    }
    counted.arrivals.add(client);
}

} // namespace norvane::indexserver
