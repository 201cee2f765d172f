#include "tests/support/ProgramHome.h"

#include <cstdlib>
#include <utility>

#include <unistd.h>

namespace norvane::testing::ProgramHome {
namespace {

const TemporaryFolder* home = nullptr;
pid_t owner = 0;

void leave() {
    // A death test's child, a fork of this program, runs its exit handlers too.
    if (::getpid() == owner) delete home;
}

} // namespace

void enter() {
    home = new TemporaryFolder;
    owner = ::getpid();
    const auto& folder = home->path();
    for (const auto& [variable, place] : {std::pair{"HOME", folder},
                                          {"XDG_CONFIG_HOME", folder / ".config"},
                                          {"XDG_DATA_HOME", folder / ".local/share"},
                                          {"XDG_STATE_HOME", folder / ".local/state"},
                                          {"XDG_CACHE_HOME", folder / ".cache"},
                                          {"XDG_RUNTIME_DIR", folder / "runtime"}}) {
        ::setenv(variable, place.c_str(), 1);
    }
    // The one base folder that must exist, and be the user's alone, before anyone uses it.
    std::filesystem::create_directory(folder / "runtime");
    std::filesystem::permissions(folder / "runtime", std::filesystem::perms::owner_all);
    // Then a session bus is looked for in the runtime folder, or started for a display that a
    // test starts itself, never on the desktop of whoever runs the tests.
    for (const char* variable : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY"}) ::unsetenv(variable);
    std::atexit(leave);
}

const TemporaryFolder& folder() { return *home; }

} // namespace norvane::testing::ProgramHome
