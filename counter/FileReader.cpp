#include "counter/FileReader.h"
#include "counter/QuotedPath.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvane::counter {

namespace {

// How much of a file tells whether it is binary: as much as the reference counter reads, so that
// both leave out the same files.
constexpr std::size_t kBinaryProbeLength = 10000;
// The buffer holds a window and what the scanner keeps from the one before.
constexpr std::size_t kBufferLength = FileReader::kWindowLength + TextSource::kLongestKept;

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
    throw std::system_error(error, std::generic_category(), "cannot read " + quotedPath(path));
}

/// A descriptor that is closed when it goes out of scope unless it was handed on.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

struct RegularFile {
    Descriptor descriptor;
    std::size_t size;
};

/// The regular file at `path` opened for reading, and its size; none when there is no file to
/// count there.
std::optional<RegularFile> openRegularFile(const char* path) {
    Descriptor descriptor(::open(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    if (descriptor.get() < 0) {
        if (isNoFileToCount(errno)) {
            return std::nullopt;
        }
        failToRead(path, errno);
    }
    struct stat status {};
    if (::fstat(descriptor.get(), &status) != 0) {
        failToRead(path, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    return RegularFile{std::move(descriptor), static_cast<std::size_t>(status.st_size)};
}

} // namespace

FileReader::FileReader() : buffer_(std::make_unique_for_overwrite<char[]>(kBufferLength)) {}

std::optional<FileReader::Reading> FileReader::open(const char* path, std::size_t probeLength, std::size_t from) {
    auto file = openRegularFile(path);
    if (!file) {
        return std::nullopt;
    }
    if (from != 0 && ::lseek(file->descriptor.get(), static_cast<off_t>(from), SEEK_SET) < 0) {
        failToRead(path, errno);
    }
    std::optional<Reading> reading(Reading(file->descriptor.release(), path, buffer_.get(), file->size));
    reading->read_ = from;
    reading->readUpTo(std::min(probeLength, kBufferLength));
    return reading;
}

bool FileReader::looksBinary(std::string_view contents) {
    return std::memchr(contents.data(), '\0', std::min(contents.size(), kBinaryProbeLength)) != nullptr;
}

FileReader::Reading::Reading(int fd, const char* path, char* buffer, std::size_t size)
    : fd_(fd), path_(path), buffer_(buffer), size_(size) {}

FileReader::Reading::Reading(Reading&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(other.path_), buffer_(other.buffer_), size_(other.size_),
      used_(other.used_), read_(other.read_), ended_(other.ended_) {}

FileReader::Reading::~Reading() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::string_view FileReader::Reading::fill() {
    readUpTo(kBufferLength);
    return window();
}

std::string_view FileReader::Reading::next(std::size_t keep) {
    // Kept whole, the window would leave no room to read on, and be handed out again and again.
    if (keep > kWindowLength) {
        throw std::logic_error(std::string("a reader of ") + path_ + " kept more than a window");
    }
    keep = std::min(keep, used_);
    std::memmove(buffer_, buffer_ + used_ - keep, keep);
    used_ = keep;
    return fill();
}

// Reading stops at the size seen on opening, which saves asking for the end of the file; a file
// that reports no size is read to its end.
void FileReader::Reading::readUpTo(std::size_t length) {
    while (used_ < length && !ended_) {
        std::size_t wanted = length - used_;
        if (size_ != 0) {
            wanted = std::min(wanted, size_ - read_);
        }
        const ssize_t count = wanted == 0 ? 0 : readSome(fd_, buffer_ + used_, wanted);
        if (count < 0) {
            failToRead(path_, errno);
        }
        used_ += static_cast<std::size_t>(count);
        read_ += static_cast<std::size_t>(count);
        ended_ = count == 0 || (size_ != 0 && read_ == size_);
    }
}

} // namespace norvane::counter
