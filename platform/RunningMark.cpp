#include "platform/RunningMark.h"

#include "platform/FileIdentity.h"

#include <fcntl.h>

#include <chrono>
#include <limits>
#include <thread>

namespace norvane::platform {
namespace {

/// How often a mark is tried again when the file it found was being removed, and how long after.
constexpr int markAttempts = 100;
constexpr std::chrono::milliseconds betweenAttempts{1};

/// `length` bytes from `offset` (0: to the end of any file), within the offsets a lock may name.
struct flock bytesAt(std::uint64_t offset, off_t length, short type) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = static_cast<off_t>(offset % static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()));
    range.l_len = length;
    return range;
}

/// Whether `descriptor` has the file that is at `path` now open.
bool isAtPath(const FileDescriptor& descriptor, const std::filesystem::path& path) {
    const auto open = FileIdentity::of(descriptor.get());
    return open && open == FileIdentity::of(path);
}

} // namespace

RunningMark::RunningMark(const std::filesystem::path& file, std::uint64_t offset) {
    for (int attempt = 0; attempt < markAttempts; ++attempt) {
        FileDescriptor opened(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!opened.isOpen()) return;
        auto byte = bytesAt(offset, 1, F_RDLCK);
        // Refused, or taken in a file that left the path: the last mark before was removing it.
        if (::fcntl(opened.get(), F_OFD_SETLK, &byte) == 0 && isAtPath(opened, file)) {
            path_ = file;
            file_ = std::move(opened);
            return;
        }
        std::this_thread::sleep_for(betweenAttempts);
    }
}

RunningMark::~RunningMark() { release(); }

RunningMark& RunningMark::operator=(RunningMark&& other) noexcept {
    if (this != &other) {
        release();
        path_ = std::move(other.path_);
        file_ = std::move(other.file_);
    }
    return *this;
}

void RunningMark::release() {
    if (!file_.isOpen()) return;
    // Held whole only when no other mark is held in it: then no other mark can be made in it.
    auto whole = bytesAt(0, 0, F_WRLCK);
    if (::fcntl(file_.get(), F_OFD_SETLK, &whole) == 0 && isAtPath(file_, path_)) ::unlink(path_.c_str());
    file_.close();
}

bool RunningMark::isHeld(const std::filesystem::path& file, std::uint64_t offset) {
    const FileDescriptor opened(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    auto byte = bytesAt(offset, 1, F_WRLCK);
    // A lock on the whole file is the last mark's, removing it.
    return opened.isOpen() && ::fcntl(opened.get(), F_OFD_GETLK, &byte) == 0 && byte.l_type == F_RDLCK;
}

} // namespace norvane::platform
