#include "tests/support/OwnFileSystems.h"

#include <cstdlib>

namespace norvane::testing {

bool mayMountOwnFileSystems() {
    static const bool may =
        std::system("/usr/bin/unshare --user --map-root-user --mount -- /bin/true >/dev/null 2>&1") == 0;
    return may;
}

} // namespace norvane::testing
