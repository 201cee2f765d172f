#include "platform/AtomicFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <random>
#include <streambuf>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvane::platform::AtomicFile {

namespace {

[[noreturn]] void fail(const std::filesystem::path& path, int error) {
    throw std::system_error(error, std::generic_category(), "Cannot write " + path.string());
}

/// The permission bits of the file that `path` names now, if there is one.
std::optional<mode_t> existingMode(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return status.st_mode & 07777;
}

constexpr std::size_t suffixLength = 8;
constexpr int nameAttempts = 100;

std::string randomSuffix() {
    static constexpr std::string_view characters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, characters.size() - 1);
    std::string suffix(suffixLength, ' ');
    for (char& character : suffix) {
        character = characters[pick(source)];
    }
    return suffix;
}

std::filesystem::path folderOf(const std::filesystem::path& target) {
    return target.has_parent_path() ? target.parent_path() : ".";
}

/// ".NAME.", which the name of each temporary sibling of the target starts with.
std::string siblingPrefix(const std::filesystem::path& target) {
    return std::string(".").append(target.filename().string()).append(".");
}

/// ".NAME.XXXXXXXX" beside the target: a sibling that no one else uses and file managers hide.
std::filesystem::path temporarySibling(const std::filesystem::path& target) {
    return folderOf(target) / siblingPrefix(target).append(randomSuffix());
}

bool isTemporarySiblingName(std::string_view name, const std::filesystem::path& target) {
    const std::string prefix = siblingPrefix(target);
    return name.size() == prefix.size() + suffixLength && name.starts_with(prefix) &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

/// Removes the temporary siblings that earlier writes of `target` left when they were killed. A
/// writer holds its file locked until it has replaced the target, so a sibling that can be locked
/// here is nobody's; an empty one may still be about to be locked, and stays.
void removeAbandonedSiblings(const std::filesystem::path& target) {
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folderOf(target), error), end; !error && entry != end;
         entry.increment(error)) {
        if (!isTemporarySiblingName(entry->path().filename().string(), target)) continue;
        const int descriptor = ::open(entry->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0) continue;
        struct stat status {};
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0 && ::fstat(descriptor, &status) == 0 &&
            S_ISREG(status.st_mode) && status.st_size > 0) {
            ::unlink(entry->path().c_str());
        }
        ::close(descriptor);
    }
}

/// Makes the rename itself survive a crash. A folder that may be written but not read cannot be
/// opened for this; the rename then stands unsynced.
void syncFolder(const std::filesystem::path& target) {
    const int descriptor = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    const int synced = ::fsync(descriptor);
    const int error = errno;
    ::close(descriptor);
    if (synced != 0) {
        fail(target, error);
    }
}

/// The new content's file in the target's folder, locked for as long as it lives. It has no name
/// until it is complete, so that a process killed while writing leaves nothing behind; where the
/// file system cannot make a file without a name, it is a hidden sibling from the start. Closed,
/// and its name removed, unless it replaced the target.
class TemporaryFile {
public:
    TemporaryFile(const std::filesystem::path& target, mode_t newFileMode) : target_(target) {
        descriptor_ = openUnnamed(newFileMode);
        if (descriptor_ < 0) {
            createSibling(newFileMode);
        }
        lock();
    }
    ~TemporaryFile() { release(); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    /// Exactly these bits, whatever the umask.
    void setMode(mode_t mode) {
        if (::fchmod(descriptor_, mode) != 0) {
            fail(target_, errno);
        }
    }

    void write(std::string_view contents) {
        while (!contents.empty()) {
            const ssize_t written = ::write(descriptor_, contents.data(), contents.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written < 0) {
                fail(target_, errno);
            }
            contents.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    /// Still locked while renamed, so that no other writer takes it for abandoned; fsync has
    /// reported any failure of the content, which closing could otherwise report late.
    void replaceTarget() {
        if (::fsync(descriptor_) != 0) {
            fail(target_, errno);
        }
        if (path_.empty()) {
            linkSibling();
        }
        if (std::rename(path_.c_str(), target_.c_str()) != 0) {
            fail(target_, errno);
        }
        renamed_ = true;
    }

private:
    void lock() {
        int locked = 0;
        do {
            locked = ::flock(descriptor_, LOCK_EX);
        } while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            const int error = errno;
            release();
            fail(target_, error);
        }
    }

    void release() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
            descriptor_ = -1;
        }
        if (!path_.empty() && !renamed_) {
            ::unlink(path_.c_str());
        }
    }

    /// None where the file system, or a missing /proc, does not allow a file without a name.
    int openUnnamed(mode_t mode) const {
        if (::access("/proc/self/fd", X_OK) != 0) {
            return -1;
        }
        const int descriptor = ::open(folderOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (descriptor < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            fail(target_, errno);
        }
        return descriptor;
    }

    void createSibling(mode_t mode) {
        for (int attempt = 0; attempt < nameAttempts && descriptor_ < 0; ++attempt) {
            path_ = temporarySibling(target_);
            descriptor_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (descriptor_ < 0 && errno != EEXIST) {
                path_.clear();
                fail(target_, errno);
            }
        }
        if (descriptor_ < 0) {
            path_.clear();
            fail(target_, EEXIST);
        }
    }

    /// Names the complete file beside the target, as a rename needs.
    void linkSibling() {
        const std::string self = "/proc/self/fd/" + std::to_string(descriptor_);
        for (int attempt = 0; attempt < nameAttempts; ++attempt) {
            const auto sibling = temporarySibling(target_);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, sibling.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                path_ = sibling;
                return;
            }
            if (errno != EEXIST) {
                fail(target_, errno);
            }
        }
        fail(target_, EEXIST);
    }

    std::filesystem::path target_;
    std::filesystem::path path_;
    int descriptor_ = -1;
    bool renamed_ = false;
};

/// A stream buffer that hands what it gathers to the temporary file in large pieces.
class TemporaryFileBuffer : public std::streambuf {
public:
    explicit TemporaryFileBuffer(TemporaryFile& file) : file_(file) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }

protected:
    int_type overflow(int_type character) override {
        flushBuffer();
        if (!traits_type::eq_int_type(character, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(character);
            pbump(1);
        }
        return traits_type::not_eof(character);
    }
    int sync() override {
        flushBuffer();
        return 0;
    }

private:
    void flushBuffer() {
        file_.write(std::string_view(pbase(), static_cast<std::size_t>(pptr() - pbase())));
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }

    TemporaryFile& file_;
    std::array<char, 1 << 16> buffer_{};
};

/// Writes what `produce` makes over `path`; the new file gets `exactMode` when there is one, else
/// `newFileMode` less the umask.
void replace(const std::filesystem::path& path, const std::function<void(std::ostream&)>& produce, mode_t newFileMode,
             std::optional<mode_t> exactMode) {
    if (!path.has_filename()) {
        fail(path, EISDIR);
    }
    removeAbandonedSiblings(path);
    TemporaryFile temporary(path, newFileMode);
    if (exactMode) {
        temporary.setMode(*exactMode);
    }
    {
        TemporaryFileBuffer buffer(temporary);
        std::ostream out(&buffer);
        // A failed write reaches the caller as the file's own error, not as a quiet bad stream.
        out.exceptions(std::ios::badbit);
        produce(out);
        out.flush();
    }
    temporary.replaceTarget();
    syncFolder(path);
}

} // namespace

void write(const std::filesystem::path& path, std::string_view contents, std::filesystem::perms newFileMode) {
    write(
        path, [contents](std::ostream& out) { out << contents; }, newFileMode);
}

void write(const std::filesystem::path& path, const std::function<void(std::ostream&)>& produce,
           std::filesystem::perms newFileMode) {
    replace(path, produce, static_cast<mode_t>(newFileMode), existingMode(path));
}

void writePrivate(const std::filesystem::path& path, std::string_view contents) {
    const auto mode = static_cast<mode_t>(privateFileMode);
    replace(
        path, [contents](std::ostream& out) { out << contents; }, mode, mode);
}

} // namespace norvane::platform::AtomicFile
