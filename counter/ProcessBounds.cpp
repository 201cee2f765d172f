#include "counter/ProcessBounds.h"

#include <csignal>
#include <cstdio>

#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvane::counter {

namespace {

// Written by the signal handler, which may only write what is ready.
char timeLimitMessage[96];
int timeLimitMessageLength = 0;

extern "C" void stopAtTimeLimit(int) {
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, timeLimitMessage, timeLimitMessageLength);
    ::_exit(1);
}

// A parent that ended before this program started has handed it on already, so the parent it
// has looks like any other; but the pipe that the report would go through has no reader left.
bool nobodyReadsTheReport() {
    struct stat output {};
    if (::fstat(STDOUT_FILENO, &output) != 0 || !S_ISFIFO(output.st_mode)) {
        return false;
    }
    pollfd readerGone{.fd = STDOUT_FILENO, .events = 0, .revents = 0};
    return ::poll(&readerGone, 1, 0) == 1 && (readerGone.revents & POLLERR) != 0;
}

} // namespace

void endWithParent() {
    const pid_t parent = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // A parent that ended before the request was made sends nothing: this one was handed on.
    if (::getppid() != parent || nobodyReadsTheReport()) {
        ::_exit(1);
    }
}

void endAfter(std::chrono::seconds limit) {
    using std::chrono::minutes;
    const bool inMinutes = limit >= minutes(1) && limit % minutes(1) == std::chrono::seconds::zero();
    const long long count = inMinutes ? limit / minutes(1) : limit.count();
    timeLimitMessageLength =
        std::snprintf(timeLimitMessage, sizeof timeLimitMessage, "norvane-count: stopped after running for %lld %s%s\n",
                      count, inMinutes ? "minute" : "second", count == 1 ? "" : "s");
    struct sigaction action {};
    action.sa_handler = stopAtTimeLimit;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGALRM, &action, nullptr);
    ::alarm(static_cast<unsigned>(limit.count()));
}

} // namespace norvane::counter
