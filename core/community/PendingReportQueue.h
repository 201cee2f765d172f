#pragma once

#include "core/community/AnonymousActivityReport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace norvane {

/// The reports that failed to send, oldest first, with the age and count limits. Each entry
/// carries an id, so a resend pass can take out exactly the reports it delivered while reports
/// queued in the meantime stay.
class PendingReportQueue {
public:
    using EntryId = std::uint64_t;

    /// A report is dropped once its activity date lies this long ago: seven days.
    static constexpr double maxPendingAge = 604800;
    static constexpr std::size_t maxCount = 100;

    /// True when `report`'s activity date lies `maxPendingAge` or more before `now`.
    static bool isExpired(const AnonymousActivityReport& report, platform::Date now);

    /// Appends `report` unless it is expired, then drops the oldest beyond `maxCount`. False (and
    /// nothing changed) for an expired report.
    bool admit(AnonymousActivityReport report, platform::Date now);
    /// Replaces the whole queue (as read from its file) under both limits: the newest
    /// `maxCount` reports that are not expired stay.
    void replaceAll(std::vector<AnonymousActivityReport> reports, platform::Date now);
    void removeExpired(platform::Date now);
    /// Applies both limits, as after a merge.
    void applyLimits(platform::Date now);

    std::vector<EntryId> ids() const;
    /// The report of `id`, or null once it has left the queue.
    const AnonymousActivityReport* find(EntryId id) const;
    void remove(EntryId id);
    /// Removes every report sent under `deviceId`.
    void removeDevice(const std::string& deviceId);
    /// Removes every report; ids are not given out again.
    void clear() { entries_.clear(); }

    std::vector<AnonymousActivityReport> reports() const;
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

private:
    struct Entry {
        EntryId id;
        AnonymousActivityReport report;
    };

    void append(AnonymousActivityReport report);
    void trimToCount();

    std::vector<Entry> entries_;
    EntryId nextId_ = 1;
};

} // namespace norvane
