#pragma once

#include <optional>
#include <string>

#include "core/analytics/VelocityRetention.h"
#include "core/models/DailyActivity.h"
#include "core/models/Project.h"

namespace norvane::app {

/// The benchmark client as the application uses it. Both calls hand their work to the client's
/// own thread and return at once.
class IndexClient {
public:
    virtual ~IndexClient() = default;

    virtual void configure(bool isEnabled, std::optional<std::string> deviceId) = 0;
    virtual void submit(const DailyActivity& activity, const Project& project,
                        const std::optional<VelocityRetention>& retention) = 0;
};

} // namespace norvane::app
