#include "core/community/PendingReportQueue.h"

#include <algorithm>

namespace norvane {

bool PendingReportQueue::isExpired(const AnonymousActivityReport& report, platform::Date now) {
    return std::chrono::duration<double>(now - report.activityDate).count() >= maxPendingAge;
}

bool PendingReportQueue::admit(AnonymousActivityReport report, platform::Date now) {
    if (isExpired(report, now)) {
        return false;
    }
    append(std::move(report));
    trimToCount();
    return true;
}

void PendingReportQueue::replaceAll(std::vector<AnonymousActivityReport> reports, platform::Date now) {
    entries_.clear();
    for (auto& report : reports) {
        append(std::move(report));
    }
    applyLimits(now);
}

void PendingReportQueue::removeExpired(platform::Date now) {
    std::erase_if(entries_, [now](const Entry& entry) { return isExpired(entry.report, now); });
}

void PendingReportQueue::applyLimits(platform::Date now) {
    removeExpired(now);
    trimToCount();
}

std::vector<PendingReportQueue::EntryId> PendingReportQueue::ids() const {
    std::vector<EntryId> result;
    result.reserve(entries_.size());
    for (const auto& entry : entries_) {
        result.push_back(entry.id);
    }
    return result;
}

const AnonymousActivityReport* PendingReportQueue::find(EntryId id) const {
    const auto found =
        std::find_if(entries_.begin(), entries_.end(), [id](const Entry& entry) { return entry.id == id; });
    return found == entries_.end() ? nullptr : &found->report;
}

void PendingReportQueue::remove(EntryId id) {
    std::erase_if(entries_, [id](const Entry& entry) { return entry.id == id; });
}

void PendingReportQueue::removeDevice(const std::string& deviceId) {
    std::erase_if(entries_, [&deviceId](const Entry& entry) { return entry.report.deviceId == deviceId; });
}

std::vector<AnonymousActivityReport> PendingReportQueue::reports() const {
    std::vector<AnonymousActivityReport> result;
    result.reserve(entries_.size());
    for (const auto& entry : entries_) {
        result.push_back(entry.report);
    }
    return result;
}

void PendingReportQueue::append(AnonymousActivityReport report) { entries_.push_back({nextId_++, std::move(report)}); }

void PendingReportQueue::trimToCount() {
    if (entries_.size() > maxCount) {
        entries_.erase(entries_.begin(), entries_.end() - static_cast<std::ptrdiff_t>(maxCount));
    }
}

} // namespace norvane
