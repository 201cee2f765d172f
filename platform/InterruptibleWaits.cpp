#include "platform/InterruptibleWaits.h"

namespace norvane::platform {
namespace {

/// The flag of the innermost scope on this thread; none outside every scope.
thread_local const std::atomic<bool>* currentFlag = nullptr;
/// The flag of the innermost process scope; none outside every one.
std::atomic<const std::atomic<bool>*> processFlag{nullptr};

} // namespace

InterruptibleWaits::Scope::Scope(const std::atomic<bool>& interrupted) : outer_(currentFlag) {
    currentFlag = &interrupted;
}

InterruptibleWaits::Scope::~Scope() { currentFlag = outer_; }

InterruptibleWaits::ProcessScope::ProcessScope(const std::atomic<bool>& interrupted)
    : outer_(processFlag.exchange(&interrupted)) {}

InterruptibleWaits::ProcessScope::~ProcessScope() { processFlag = outer_; }

bool InterruptibleWaits::interrupted() {
    const auto* process = processFlag.load();
    return (currentFlag && currentFlag->load()) || (process && process->load());
}

} // namespace norvane::platform
