#include "index-server/ReportsPerAddress.h"

namespace norvane::indexserver {

bool ReportsPerAddress::hasRoom(const std::string& address, platform::Date now) {
    moveTo(now);
    const auto found = stored_.find(address);
    return (found == stored_.end() ? 0 : found->second) < maxPerDay_;
}

void ReportsPerAddress::count(const std::string& address, platform::Date now) {
    moveTo(now);
    ++stored_[address];
}

void ReportsPerAddress::moveTo(platform::Date now) {
    const auto day = std::chrono::floor<std::chrono::days>(now);
    if (day != day_) {
        day_ = day;
        stored_.clear();
    }
}

} // namespace norvane::indexserver
