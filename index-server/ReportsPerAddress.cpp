#include "index-server/ReportsPerAddress.h"

#include <algorithm>

namespace norvane::indexserver {

bool ReportsPerAddress::hasRoom(std::uint64_t client, platform::Date now) {
    moveTo(now);
    return stored_.count(client) < std::min<std::size_t>(maxPerDay_, AddressCounts<std::uint16_t>::most);
}

void ReportsPerAddress::count(std::uint64_t client, platform::Date now) {
    moveTo(now);
    stored_.add(client);
}

void ReportsPerAddress::moveTo(platform::Date now) {
    const auto day = std::chrono::floor<std::chrono::days>(now);
    if (day != day_) {
        day_ = day;
        stored_.clear();
    }
}

} // namespace norvane::indexserver
