#pragma once

#include "platform/Date.h"

#include <atomic>
#include <cstdint>

namespace norvane::testing {

/// A clock the test moves by hand; safe to read from the threads of the code under test.
class ManualClock {
public:
    explicit ManualClock(platform::Date start) : micros_(start.time_since_epoch().count()) {}
    platform::Date now() const { return platform::Date(std::chrono::microseconds(micros_.load())); }
    void advance(std::chrono::microseconds by) { micros_ += by.count(); }
    platform::Clock clock() const {
        return [this] { return now(); };
    }

private:
    std::atomic<std::int64_t> micros_;
};

} // namespace norvane::testing
