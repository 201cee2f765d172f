#include "tests/support/ProgramHome.h"

#include <cstdlib>
#include <utility>

#include <unistd.h>

namespace norvane::testing::ProgramHome {
namespace {

// Room under the runtime folder for a test's own folder and a socket's name in it, within the
// 106 bytes of a socket's address that Qt takes.
constexpr std::size_t longestRuntimeFolder = 60;
const TemporaryFolder* home = nullptr;
const TemporaryFolder* deepHomesRuntime = nullptr;
std::filesystem::path runtime;
pid_t owner = 0;

void leave() {
    // A death test's child, a fork of this program, runs its exit handlers too.
    if (::getpid() != owner) return;
    delete deepHomesRuntime;
    delete home;
}

/// The home's own runtime folder, or, where the home lies too deep for a socket's address in it,
/// one of the program's own in the system's temporary folder, whatever TMPDIR says.
std::filesystem::path makeRuntimeFolder(const std::filesystem::path& homeFolder) {
    const auto inHome = homeFolder / "runtime";
    if (inHome.native().size() > longestRuntimeFolder) {
        deepHomesRuntime = new TemporaryFolder("/tmp");
        return deepHomesRuntime->path();
    }
    std::filesystem::create_directory(inHome);
    return inHome;
}

} // namespace

void enter() {
    home = new TemporaryFolder;
    owner = ::getpid();
    const auto& folder = home->path();
    // The one base folder that must exist, and be the user's alone, before anyone uses it.
    runtime = makeRuntimeFolder(folder);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    for (const auto& [variable, place] : {std::pair{"HOME", folder},
                                          {"XDG_CONFIG_HOME", folder / ".config"},
                                          {"XDG_DATA_HOME", folder / ".local/share"},
                                          {"XDG_STATE_HOME", folder / ".local/state"},
                                          {"XDG_CACHE_HOME", folder / ".cache"},
                                          {"XDG_RUNTIME_DIR", runtime}}) {
        ::setenv(variable, place.c_str(), 1);
    }
    // Then a session bus is looked for in the runtime folder, or started for a display that a
    // test starts itself, never on the desktop of whoever runs the tests.
    for (const char* variable : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY"}) ::unsetenv(variable);
    // Hours, dates and numbers read as the tests expect whatever the language of whoever runs them
    // ("2:00 AM", not "2:00 am"); a test of another language asks for it.
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::unsetenv("LANGUAGE");
    std::atexit(leave);
}

const TemporaryFolder& folder() { return *home; }

const std::filesystem::path& runtimeFolder() { return runtime; }

} // namespace norvane::testing::ProgramHome
