#include "platform/ErrorLog.h"

#include <cerrno>
#include <string>

#include <unistd.h>

namespace norvane::platform {

namespace {

void writeLine(std::string_view marker, std::string_view message) {
    std::string line = std::string(program_invocation_short_name) + ": ";
    line.append(marker).append(message);
    line += '\n';
    // Nothing is left to tell of a line that cannot be written.
    static_cast<void>(::write(STDERR_FILENO, line.data(), line.size()));
}

} // namespace

void logError(std::string_view message) { writeLine("", message); }

void logWarning(std::string_view message) { writeLine("warning: ", message); }

void logNotice(std::string_view message) { writeLine("note: ", message); }

} // namespace norvane::platform
