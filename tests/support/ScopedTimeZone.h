#pragma once

#include "tests/support/TemporaryFolder.h"

#include <ctime>
#include <optional>
#include <string>

namespace norvane::testing {

/// Sets TZ for the lifetime of the object and makes the C library read it, before and after.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const std::string& zone) {
        variable_.emplace("TZ", zone);
        tzset();
    }
    ~ScopedTimeZone() {
        variable_.reset();
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<ScopedEnvironment> variable_;
};

} // namespace norvane::testing
