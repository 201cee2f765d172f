#include "platform/NoWaits.h"

#include <utility>

namespace norvane::platform {
namespace {

/// How many scopes live on this thread.
thread_local int scopes = 0;

} // namespace

NoWaits::Scope::Scope() { ++scopes; }

NoWaits::Scope::~Scope() { --scopes; }

NoWaits::Lifted::Lifted() : outer_(std::exchange(scopes, 0)) {}

NoWaits::Lifted::~Lifted() { scopes = outer_; }

bool NoWaits::inForce() { return scopes > 0; }

} // namespace norvane::platform
