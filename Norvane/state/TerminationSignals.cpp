#include "Norvane/state/TerminationSignals.h"

#include <array>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace norvane::app {
namespace {

constexpr std::array<int, 3> endingSignals{SIGINT, SIGTERM, SIGHUP};
/// What each signal did before, such as stopping the child processes: a second signal does it.
std::array<struct sigaction, endingSignals.size()> previousActions{};

/// Where the handler writes; -1 while no object listens.
volatile sig_atomic_t signalPipe = -1;

void onEndingSignal(int signal) {
    const int savedError = errno;
    for (std::size_t index = 0; index < endingSignals.size(); ++index) {
        if (endingSignals[index] == signal) ::sigaction(signal, &previousActions[index], nullptr);
    }
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const auto written = ::write(signalPipe, &byte, 1);
    errno = savedError;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
    readEnd_ = platform::FileDescriptor(ends[0]);
    writeEnd_ = platform::FileDescriptor(ends[1]);
    notifier_ = std::make_unique<QSocketNotifier>(readEnd_.get(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        while (::read(readEnd_.get(), &byte, 1) == 1) {}
        emit received();
    });
    signalPipe = writeEnd_.get();
    for (std::size_t index = 0; index < endingSignals.size(); ++index) {
        auto& previous = previousActions[index];
        if (::sigaction(endingSignals[index], nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = onEndingSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(endingSignals[index], &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals() {
    for (std::size_t index = 0; index < endingSignals.size(); ++index) {
        struct sigaction current {};
        if (::sigaction(endingSignals[index], nullptr, &current) == 0 && current.sa_handler == onEndingSignal) {
            ::sigaction(endingSignals[index], &previousActions[index], nullptr);
        }
    }
    signalPipe = -1;
}

} // namespace norvane::app
