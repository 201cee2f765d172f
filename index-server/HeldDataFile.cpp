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

HeldDataFile::HeldDataFile(const std::string& path) : path_(path) {
    try {
        platform::PrivateFiles::createFile(path_);
    } catch (const std::filesystem::filesystem_error& error) {
        throw std::runtime_error("Cannot create " + path_ + ": " + error.code().message());
    }
    descriptor_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor_ < 0) {
        throw std::runtime_error("Cannot open " + path_ + ": " + std::strerror(errno));
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

bool HeldDataFile::isAtPath() const {
    struct stat atPath {};
    struct stat held {};
    return ::stat(path_.c_str(), &atPath) == 0 && ::fstat(descriptor_, &held) == 0 && atPath.st_dev == held.st_dev &&
           atPath.st_ino == held.st_ino;
}

} // namespace norvane::indexserver
