#pragma once

#include <chrono>

namespace norvane::platform {

/// The pauses of a wait that looks again and again whether another program has let go: short at
/// first, as most holds last a moment, then each twice the one before up to `longest`, so that a
/// wait that lasts costs next to nothing and still ends soon after the hold, or after an ending
/// (InterruptibleWaits), which it looks for between its pauses.
class Backoff {
public:
    Backoff(std::chrono::milliseconds first, std::chrono::milliseconds longest);

    /// The pause before the next look; the one after it is longer.
    std::chrono::milliseconds next();

private:
    std::chrono::milliseconds pause_;
    std::chrono::milliseconds longest_;
};

} // namespace norvane::platform
