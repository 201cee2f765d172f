#pragma once

#include <memory>

#include "Norvane/state/IndexClient.h"
#include "core/facade/NorvaneStore.h"
#include "platform/Date.h"

namespace norvane::app {

/// What the portfolio page reads from: the application's store and the benchmark client. Tests
/// hand in a store of their own and a fake client, or one pointed at a local service.
struct PortfolioServices {
    NorvaneStore store;
    std::shared_ptr<IndexClient> indexClient;
    platform::Clock clock = platform::systemClock();

    /// The application's store and the process-wide benchmark client.
    static PortfolioServices standard(NorvaneStore store);
};

} // namespace norvane::app
