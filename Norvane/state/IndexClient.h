#pragma once

#include <cstddef>
#include <future>
#include <optional>
#include <string>

#include "core/analytics/VelocityRetention.h"
#include "core/models/DailyActivity.h"
#include "core/models/Project.h"

namespace norvane::app {

/// The benchmark client as the application uses it. Every call hands its work to the client's
/// own thread and returns at once; a caller on the GUI thread waits for a future on a worker.
class IndexClient {
public:
    virtual ~IndexClient() = default;

    virtual void configure(bool isEnabled, std::optional<std::string> deviceId) = 0;
    virtual void submit(const DailyActivity& activity, const Project& project,
                        const std::optional<VelocityRetention>& retention) = 0;
    /// The number of reports waiting in the client's queue; never fails.
    virtual std::future<std::size_t> pendingReportCount() = 0;
    /// Asks the service to delete everything sent under `deviceId`; changes nothing here. Fails
    /// with `SubmissionError::deletionFailed` when the service refuses, or with the transport's
    /// error.
    virtual std::future<void> requestDeletion(std::string deviceId) = 0;
};

} // namespace norvane::app
