#pragma once

#include <cstdlib>
#include <utility>

#include "tests/support/TemporaryFolder.h"

namespace norvane::testing {

/// The home of the user whom the application tests play: the store, the settings, the caches and
/// git's settings all lie in one temporary folder, set once for the process before anything (the
/// core library's shared facade, QSettings) reads them.
inline const TemporaryFolder& applicationHome() {
    static const TemporaryFolder home;
    static const bool set = [] {
        for (const auto& [name, folder] : {std::pair{"HOME", ""},
                                           {"XDG_DATA_HOME", ".local/share"},
                                           {"XDG_CONFIG_HOME", ".config"},
                                           {"XDG_CACHE_HOME", ".cache"}}) {
            ::setenv(name, (home.path() / folder).c_str(), 1);
        }
        ::setenv("GIT_CONFIG_NOSYSTEM", "1", 1);
        return true;
    }();
    (void)set;
    return home;
}

} // namespace norvane::testing
