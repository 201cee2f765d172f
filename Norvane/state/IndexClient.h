#pragma once

#include <cstddef>
#include <future>
#include <optional>
#include <string>

#include "core/analytics/VelocityRetention.h"
#include "core/community/CachedBenchmarks.h"
#include "core/community/UserPercentiles.h"
#include "core/models/DailyActivityInfo.h"
#include "core/models/ProjectInfo.h"
#include "core/models/ProjectSizeBucket.h"
#include "core/models/SnapshotInfo.h"

namespace norvane::app {

/// The benchmark client as the application uses it. Every call hands its work to the client's
/// own thread and returns at once; a caller on the GUI thread waits for a future on a worker.
class IndexClient {
public:
    virtual ~IndexClient() = default;

    virtual void configure(bool isEnabled, std::optional<std::string> deviceId) = 0;
    /// Sends the day's report of the project with its newest code count, or queues it; the future
    /// is ready once it was sent or queued.
    virtual std::future<void> submit(const DailyActivityInfo& activity, const ProjectInfo& project,
                                     const std::optional<SnapshotInfo>& newestCodeCount,
                                     const std::optional<VelocityRetention>& retention) = 0;
    /// The number of reports waiting in the client's queue; never fails.
    virtual std::future<std::size_t> pendingReportCount() = 0;
    /// Why the queue's file does not hold the reports that wait: its last save's failure, none
    /// while the last save worked.
    virtual std::future<std::optional<std::string>> pendingReportsSaveFailure() = 0;
    /// Keeps `deviceId` forgotten on disk, drops its queued reports and sends nothing more under
    /// it, for an id that the user replaced. Fails, changing nothing, when it cannot be kept.
    virtual std::future<void> forgetDevice(std::string deviceId) = 0;
    /// Whether `deviceId` was forgotten, in this run or an earlier one: nothing goes out under it.
    virtual std::future<bool> isForgotten(std::string deviceId) = 0;
    /// Forgets `deviceId` first, then asks the service to delete everything sent under it. Fails
    /// with the forgetting's error (nothing asked then), with `SubmissionError::deletionFailed`
    /// when the service refuses, or with the transport's error.
    virtual std::future<void> requestDeletion(std::string deviceId) = 0;
    /// The user's figures placed among the community's, fetching the benchmarks first when the
    /// cache is missing or older than a day, whether or not the user shares; none without
    /// benchmarks or contributors. Never fails.
    virtual std::future<std::optional<UserPercentiles>> calculatePercentiles(std::optional<double> throughput,
                                                                             std::optional<double> velocityRetention,
                                                                             std::optional<double> activeDaysPerWeek,
                                                                             ProjectSizeBucket sizeBucket) = 0;
    /// The benchmarks the client holds now, or none; never fails.
    virtual std::future<std::optional<CachedBenchmarks>> cachedBenchmarks() = 0;
};

} // namespace norvane::app
