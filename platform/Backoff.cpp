#include "platform/Backoff.h"

#include <algorithm>

namespace norvane::platform {

Backoff::Backoff(std::chrono::milliseconds first, std::chrono::milliseconds longest)
    : pause_(std::min(first, longest)), longest_(longest) {}

std::chrono::milliseconds Backoff::next() {
    const auto pause = pause_;
    pause_ = std::min(pause_ * 2, longest_);
    return pause;
}

} // namespace norvane::platform
