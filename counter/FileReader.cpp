#include "counter/FileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

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

ssize_t readSome(int fd, char* data, std::size_t length) {
    ssize_t count = 0;
    do {
        count = ::read(fd, data, length);
    } while (count < 0 && errno == EINTR);
    return count;
}

/// A symbolic link (refused by O_NOFOLLOW) or a file removed since its folder was listed is no
/// file to count; anything else that stops the reading is a failure of the count.
bool isNoFileToCount(int error) { return error == ELOOP || error == ENOENT || error == ENOTDIR; }

[[noreturn]] void failToRead(const char* path, int error) {
    throw std::system_error(error, std::generic_category(), std::string("cannot read ") + path);
}

} // namespace

std::optional<std::string_view> FileReader::read(const char* path, std::string_view requiredStart) {
    const OpenFile file(path);
    if (file.fd() < 0) {
        if (isNoFileToCount(errno)) {
            return std::nullopt;
        }
        failToRead(path, errno);
    }
    struct stat status {};
    if (::fstat(file.fd(), &status) != 0) {
        failToRead(path, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    if (buffer_.size() < size + 1) {
        buffer_.resize(std::max(size + 1, buffer_.size() * 2));
    }
    // Reading stops at the size seen on opening, which saves asking for the end of the file;
    // a file that reports no size is read to its end.
    std::size_t used = 0;
    do {
        if (used == buffer_.size()) {
            buffer_.resize(buffer_.size() * 2);
        }
        const bool probing = used == 0 && !requiredStart.empty();
        const std::size_t wanted = probing ? std::min(kStartProbeLength, buffer_.size()) : buffer_.size() - used;
        const ssize_t count = readSome(file.fd(), buffer_.data() + used, wanted);
        if (count <= 0) {
            if (count < 0) {
                failToRead(path, errno);
            }
            break;
        }
        used += static_cast<std::size_t>(count);
        if (probing && !std::string_view(buffer_.data(), used).starts_with(requiredStart)) {
            return std::nullopt;
        }
    } while (used != size);
    return std::string_view(buffer_.data(), used);
}

bool FileReader::looksBinary(std::string_view contents) {
    return std::memchr(contents.data(), '\0', std::min(contents.size(), kBinaryProbeLength)) != nullptr;
}

} // namespace norvane::counter
