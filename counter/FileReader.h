#pragma once

#include "counter/TextSource.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::counter {

/// Reads files in pieces into one buffer of fixed size that is kept from file to file, so that a
/// worker thread needs the same memory for a file of a gigabyte as for one of a kilobyte.
class FileReader {
public:
    /// How much of a file one window holds.
    static constexpr std::size_t kWindowLength = 1024 * 1024;

    class Reading;

    FileReader();

    /// Opens the regular file at `path` and reads up to `probeLength` bytes of it from byte `from`
    /// on; none when it is not a regular file (a symbolic link, a pipe, a device) or vanished
    /// meanwhile. The reading goes on through the result, which closes the file and must not
    /// outlive `path` nor this reader. Throws std::system_error naming the file when it cannot be
    /// opened or read, so that a count never leaves out what it was asked to count without a word;
    /// so does the reading.
    std::optional<Reading> open(const char* path, std::size_t probeLength = kWindowLength, std::size_t from = 0);

    /// True when a NUL byte appears among the first bytes, as in images, archives and objects.
    static bool looksBinary(std::string_view contents);

private:
    std::unique_ptr<char[]> buffer_;
};

/// One open file and the window of it that the reader's buffer holds.
class FileReader::Reading final : public TextSource {
public:
    Reading(Reading&& other) noexcept;
    Reading& operator=(Reading&&) = delete;
    ~Reading() override;

    /// The window read so far.
    std::string_view window() const { return {buffer_, used_}; }
    /// The window grown to a whole window's length, or to the end of the file.
    std::string_view fill();
    /// The file's size when it was opened.
    std::size_t size() const { return size_; }
    /// Where in the file the window starts.
    std::size_t windowStart() const { return read_ - used_; }

    /// Throws std::logic_error where `keep` leaves no room for TextSource::kLongestKept bytes more.
    std::string_view next(std::size_t keep) override;
    bool atEnd() const override { return ended_; }

private:
    friend class FileReader;
    Reading(int fd, const char* path, char* buffer, std::size_t size);

    void readUpTo(std::size_t length);

    int fd_;
    const char* path_; // the caller's, for messages
    char* buffer_;
    std::size_t size_;
    std::size_t used_ = 0;
    std::size_t read_ = 0;
    bool ended_ = false;
};

} // namespace norvane::counter
