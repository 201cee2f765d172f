#pragma once

#include <chrono>

namespace norvane::counter {

/// Ends this process with the one that started it, however that one ends (killed, crashed), and
/// at once when that one ended before this process ran and its report goes to a pipe that
/// nobody reads any more: a count that nobody waits for would otherwise run on.
void endWithParent();

/// Ends this process after `limit`, saying so on standard error and exiting with status 1, so
/// that a count bounds itself even when the program that started it no longer can.
void endAfter(std::chrono::seconds limit);

} // namespace norvane::counter
