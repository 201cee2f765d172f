#include "platform/InterruptibleWaits.h"

namespace norvane::platform {
namespace {

/// The flag of the innermost scope on this thread; none outside every scope.
thread_local const std::atomic<bool>* currentFlag = nullptr;

} // namespace

InterruptibleWaits::Scope::Scope(const std::atomic<bool>& interrupted) : outer_(currentFlag) {
    currentFlag = &interrupted;
}

InterruptibleWaits::Scope::~Scope() { currentFlag = outer_; }

bool InterruptibleWaits::interrupted() { return currentFlag && currentFlag->load(); }

} // namespace norvane::platform
