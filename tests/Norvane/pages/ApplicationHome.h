#pragma once

#include <cstdlib>

#include "tests/support/ProgramHome.h"

namespace norvane::testing {

/// The home of the user whom the application tests play: the program's own, where the store, the
/// settings, the caches and git's settings all lie, and which the system's git settings stay out of.
inline const TemporaryFolder& applicationHome() {
    ::setenv("GIT_CONFIG_NOSYSTEM", "1", 1);
    return ProgramHome::folder();
}

} // namespace norvane::testing
