#include "platform/AtomicFile.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <random>
#include <streambuf>
#include <string>
#include <system_error>

#include <fcntl.h>
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

std::string randomSuffix() {
    static constexpr std::string_view characters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, characters.size() - 1);
    std::string suffix(8, ' ');
    for (char& character : suffix) {
        character = characters[pick(source)];
    }
    return suffix;
}

/// Makes the rename itself survive a crash. A folder that may be written but not read cannot be
/// opened for this; the rename then stands unsynced.
void syncFolder(const std::filesystem::path& target) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

/// A hidden sibling of the target with a name no one else uses, closed and removed again unless
/// it was renamed over the target.
class TemporaryFile {
public:
    TemporaryFile(const std::filesystem::path& target, mode_t newFileMode) : target_(target) {
        constexpr int attempts = 100;
        for (int attempt = 0; attempt < attempts && descriptor_ < 0; ++attempt) {
            std::string name = ".";
            name.append(target.filename().string()).append(".").append(randomSuffix());
            path_ = target.parent_path() / name;
            descriptor_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, newFileMode);
            if (descriptor_ < 0 && errno != EEXIST) {
                fail(target_, errno);
            }
        }
        if (descriptor_ < 0) {
            fail(target_, EEXIST);
        }
    }
    ~TemporaryFile() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
        if (!renamed_) {
            ::unlink(path_.c_str());
        }
    }
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

    void replaceTarget() {
        if (::fsync(descriptor_) != 0) {
            fail(target_, errno);
        }
        const int closed = ::close(descriptor_);
        descriptor_ = -1;
        if (closed != 0 || std::rename(path_.c_str(), target_.c_str()) != 0) {
            fail(target_, errno);
        }
        renamed_ = true;
    }

private:
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
