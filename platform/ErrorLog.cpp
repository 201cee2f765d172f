#include "platform/ErrorLog.h"

#include <cerrno>
#include <string>

#include <unistd.h>

namespace norvane::platform {

void logError(std::string_view message) {
    std::string line = std::string(program_invocation_short_name) + ": ";
    line.append(message);
    line += '\n';
    // Nothing is left to tell of a line that cannot be written.
    static_cast<void>(::write(STDERR_FILENO, line.data(), line.size()));
}

} // namespace norvane::platform
