#include "index-server/HeldDataFile.h"

#include "platform/PrivateFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace norvane::indexserver {

namespace {

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "something else";
}

} // namespace

HeldDataFile::HeldDataFile(const std::string& path) : path_(path) {
    try {
        platform::PrivateFiles::createFile(path_);
    } catch (const std::filesystem::filesystem_error& error) {
        throw std::runtime_error("Cannot create " + path_ + ": " + error.code().message());
    }
    // Not blocking: a FIFO would wait for a writer for good.
    descriptor_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor_ < 0) {
        throw std::runtime_error("Cannot open " + path_ + ": " + std::strerror(errno));
    }
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor_);
        throw std::runtime_error(path_ + " is " + kindOf(status.st_mode) +
                                 ", not a regular file; give the service a file for its reports");
    }
    // A lock of its own kind, which SQLite's locks of the same file neither take nor release. It is
    // held for the life of this descriptor, which is closed only once SQLite has closed the file:
    // closing another descriptor of a file ends the process's SQLite locks on it.
    if (::flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(descriptor_);
        throw std::runtime_error(error == EWOULDBLOCK
                                     ? path_ + " is the data file of another service that runs now; give each service "
                                               "a data file of its own"
                                     : "Cannot lock " + path_ + ": " + std::strerror(error));
    }
}

HeldDataFile::~HeldDataFile() { ::close(descriptor_); }

void HeldDataFile::keepForOwnerAlone() const {
    for (const char* suffix : {"", "-wal", "-shm"}) {
        platform::PrivateFiles::tighten(path_ + suffix);
    }
}

bool HeldDataFile::isAtPath() const {
    struct stat atPath {};
    struct stat held {};
    return ::stat(path_.c_str(), &atPath) == 0 && ::fstat(descriptor_, &held) == 0 && atPath.st_dev == held.st_dev &&
           atPath.st_ino == held.st_ino;
}

} // namespace norvane::indexserver
