#pragma once

#include "tests/support/TemporaryFolder.h"

namespace norvane::testing {

/// The home of a test program: a fresh folder that HOME and the XDG base folders name from before
/// its first test, whatever home it was started with, removed when the program ends. What its
/// tests, Qt (settings, the file dialogs' last folders), git, an X server or a session bus that a
/// test starts write under the home lands there, never in the home of whoever runs the tests, and
/// their desktop and its session bus are out of reach.
namespace ProgramHome {

/// Makes the home and points the environment at it; the test programs' main calls it first.
void enter();
/// The home made by `enter`.
const TemporaryFolder& folder();
/// The runtime folder made by `enter`, where a test's sockets fit a socket's address: in the home,
/// or, when the home lies too deep for them, a private folder of its own under /tmp, which goes
/// with the home.
const std::filesystem::path& runtimeFolder();

} // namespace ProgramHome
} // namespace norvane::testing
