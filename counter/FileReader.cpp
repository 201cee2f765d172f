#include "counter/FileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvane::counter {

namespace {

constexpr std::size_t kBinaryProbeLength = 8000;
// How much is read first when a file must begin in a certain way.
constexpr std::size_t kStartProbeLength = 4096;

class OpenFile {
public:
    explicit OpenFile(const char* path)
        : fd_(::open(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY)) {}
    ~OpenFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int fd() const { return fd_; }

private:
    int fd_;
};

} // namespace

std::optional<std::string_view> FileReader::read(const char* path, std::string_view requiredStart) {
    const OpenFile file(path);
    struct stat status {};
    if (file.fd() < 0 || ::fstat(file.fd(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    // One byte more than the size, so that a file that grew meanwhile is noticed and read whole.
    const std::size_t wanted = static_cast<std::size_t>(status.st_size) + 1;
    if (buffer_.size() < wanted) {
        buffer_.resize(std::max(wanted, buffer_.size() * 2));
    }
    std::size_t used = 0;
    while (true) {
        if (used == buffer_.size()) {
            buffer_.resize(buffer_.size() * 2);
        }
        const bool probing = used == 0 && !requiredStart.empty();
        const std::size_t wantedNow = probing ? std::min(kStartProbeLength, buffer_.size()) : buffer_.size() - used;
        const ssize_t count = ::read(file.fd(), buffer_.data() + used, wantedNow);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            break;
        }
        used += static_cast<std::size_t>(count);
        if (probing && !std::string_view(buffer_.data(), used).starts_with(requiredStart)) {
            return std::nullopt;
        }
    }
    return std::string_view(buffer_.data(), used);
}

bool FileReader::looksBinary(std::string_view contents) {
    return std::memchr(contents.data(), '\0', std::min(contents.size(), kBinaryProbeLength)) != nullptr;
}

} // namespace norvane::counter
