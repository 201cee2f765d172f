#include "platform/ChildProcesses.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>

#include <pthread.h>

namespace norvane::platform {

namespace {

// Children run one or a few at a time; one beyond these runs without being stopped with us.
constexpr std::size_t kPlaces = 64;
constexpr std::size_t kNoPlace = kPlaces;
constexpr pid_t kFree = 0;
constexpr pid_t kStarting = -1;

// Plain lock-free atomics: a signal handler reads them.
std::array<std::atomic<pid_t>, kPlaces> runningGroups{};
// How many stops are in force; a termination signal's is never lifted, as the program ends.
std::atomic<int> stops{0};

static_assert(std::atomic<pid_t>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);

constexpr std::array<int, 3> kTerminationSignals{SIGINT, SIGTERM, SIGHUP};

sigset_t terminationSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : kTerminationSignals) {
        sigaddset(&signals, signal);
    }
    return signals;
}

std::size_t takePlace() {
    for (std::size_t place = 0; place < kPlaces; ++place) {
        pid_t expected = kFree;
        if (runningGroups[place].compare_exchange_strong(expected, kStarting)) {
            return place;
        }
    }
    return kNoPlace;
}

// Only async-signal-safe calls: a signal handler runs this.
void endRunningGroups() {
    ++stops;
    for (auto& group : runningGroups) {
        pid_t id = group.load();
        // A child is being started on a thread that holds the signals back; it is there in a moment.
        while (id == kStarting) {
            id = group.load();
        }
        if (id > 0) {
            kill(-id, SIGTERM);
        }
    }
}

void onTerminationSignal(int signal) {
    const int savedError = errno;
    endRunningGroups();
    // The handler was reset on entry: raised again, the signal ends the program as it would have.
    raise(signal);
    errno = savedError;
}

} // namespace

void ChildProcesses::stopOnTerminationSignals() {
    for (const int signal : kTerminationSignals) {
        struct sigaction previous {};
        sigaction(signal, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(signal, &action, nullptr);
    }
}

ChildProcesses::StopAll::StopAll() { endRunningGroups(); }

ChildProcesses::StopAll::~StopAll() { --stops; }

ChildProcesses::Start::Start() : place_(kNoPlace) {}

ChildProcesses::Start::~Start() { ended(); }

int ChildProcesses::Start::run(const std::function<int(pid_t&)>& spawn, pid_t& child) {
    const sigset_t signals = terminationSignals();
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &signals, &previous);
    place_ = takePlace();
    int result = ECANCELED;
    if (stops == 0) {
        result = spawn(child);
    }
    if (place_ != kNoPlace) {
        runningGroups[place_] = result == 0 ? child : kFree;
        if (result != 0) {
            place_ = kNoPlace;
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return result;
}

void ChildProcesses::Start::ended() {
    if (place_ != kNoPlace) {
        runningGroups[place_] = kFree;
        place_ = kNoPlace;
    }
}

} // namespace norvane::platform
