#include "counter/StandardOutput.h"

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <unistd.h>

namespace norvane::counter {

std::optional<std::string> writeToStandardOutput(std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, text.data(), text.size());
        if (written >= 0) {
            text.remove_prefix(static_cast<std::size_t>(written));
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            // A descriptor that another program made non-blocking: wait until it takes more.
            pollfd ready{STDOUT_FILENO, POLLOUT, 0};
            ::poll(&ready, 1, -1);
        } else if (errno != EINTR) {
            return std::strerror(errno);
        }
    }
    return std::nullopt;
}

} // namespace norvane::counter
