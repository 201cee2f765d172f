#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace norvane::platform::AtomicFile {

namespace {

[[noreturn]] void fail(const std::string& temporary, int descriptor, const char* what) {
    const int error = errno;
    if (descriptor >= 0) {
        ::close(descriptor);
    }
    ::unlink(temporary.c_str());
    throw std::system_error(error, std::generic_category(), what);
}

} // namespace

void write(const std::filesystem::path& path, std::string_view contents) {
    std::string temporary = path.string() + ".XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        throw std::system_error(errno, std::generic_category(), "Cannot create a temporary file");
    }
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t result = ::write(descriptor, contents.data() + written, contents.size() - written);
        if (result < 0 && errno == EINTR) continue;
        if (result < 0) fail(temporary, descriptor, "Cannot write the temporary file");
        written += static_cast<std::size_t>(result);
    }
    if (::fsync(descriptor) != 0) {
        fail(temporary, descriptor, "Cannot flush the temporary file");
    }
    if (::close(descriptor) != 0) {
        fail(temporary, -1, "Cannot close the temporary file");
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        fail(temporary, -1, "Cannot replace the file");
    }
}

} // namespace norvane::platform::AtomicFile
