#include "index-server/NewDevicesPerAddress.h"

namespace norvane::indexserver {

namespace {

/// Old arrivals of every address are dropped after this many admissions, so that addresses that
/// came once do not stay in memory.
constexpr std::size_t cleanUpInterval = 1024;

void dropBefore(std::deque<platform::Date>& arrivals, platform::Date since) {
    while (!arrivals.empty() && arrivals.front() <= since) {
        arrivals.pop_front();
    }
}

} // namespace

bool NewDevicesPerAddress::hasRoom(const std::string& address, platform::Date now) {
    std::lock_guard lock(mutex_);
    const auto found = arrivals_.find(address);
    if (found == arrivals_.end()) {
        return maxPerHour_ > 0;
    }
    dropBefore(found->second, now - window);
    return found->second.size() < maxPerHour_;
}

void NewDevicesPerAddress::count(const std::string& address, platform::Date now) {
    std::lock_guard lock(mutex_);
    const auto since = now - window;
    if (++admissionsSinceCleanUp_ >= cleanUpInterval) {
        forgetBefore(since);
    }
    auto& arrivals = arrivals_[address];
    dropBefore(arrivals, since);
    arrivals.push_back(now);
}

void NewDevicesPerAddress::forgetBefore(platform::Date since) {
    admissionsSinceCleanUp_ = 0;
    for (auto entry = arrivals_.begin(); entry != arrivals_.end();) {
        dropBefore(entry->second, since);
        entry = entry->second.empty() ? arrivals_.erase(entry) : std::next(entry);
    }
}

} // namespace norvane::indexserver
