#include "norvane-cli/AtomicFileWriter.h"

#include <fmt/format.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <system_error>

namespace norvane::cli {
namespace {

[[noreturn]] void fail(const std::filesystem::path& file, const std::string& reason) {
    throw std::runtime_error(fmt::format("Cannot write {}: {}", file.string(), reason));
}

[[noreturn]] void failWithErrno(const std::filesystem::path& file) {
    fail(file, std::system_category().message(errno));
}

/// A hidden sibling of the target, removed again unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& target) : target_(target) {
        auto pattern = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
        descriptor_ = mkstemp(pattern.data());
        if (descriptor_ < 0) {
            failWithErrno(target_);
        }
        path_ = pattern;
    }
    ~TemporaryFile() {
        if (descriptor_ >= 0) {
            close(descriptor_);
        }
        if (!renamed_) {
            unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void write(std::string_view contents) {
        while (!contents.empty()) {
            const auto written = ::write(descriptor_, contents.data(), contents.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written < 0) {
                failWithErrno(target_);
            }
            contents.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    /// Gives the file the permissions a plainly created file would have, flushes and closes it,
    /// and moves it over the target.
    void commit() {
        const mode_t mask = umask(0);
        umask(mask);
        if (fchmod(descriptor_, 0666 & ~mask) != 0 || fsync(descriptor_) != 0) {
            failWithErrno(target_);
        }
        const int closed = close(descriptor_);
        descriptor_ = -1;
        if (closed != 0 || std::rename(path_.c_str(), target_.c_str()) != 0) {
            failWithErrno(target_);
        }
        renamed_ = true;
    }

private:
    std::filesystem::path target_;
    std::string path_;
    int descriptor_ = -1;
    bool renamed_ = false;
};

} // namespace

void AtomicFileWriter::write(const std::filesystem::path& file, std::string_view contents) {
    if (!file.has_filename()) {
        fail(file, "the path names no file");
    }
    TemporaryFile temporary(file);
    temporary.write(contents);
    temporary.commit();
}

} // namespace norvane::cli
