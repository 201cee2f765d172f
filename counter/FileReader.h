#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace norvane::counter {

/// Reads whole files into one buffer that is kept from file to file, so that a worker thread
/// allocates only when a file is larger than any before it.
class FileReader {
public:
    /// The contents of the regular file at `path`, valid until the next call; none when it is not a
    /// regular file (a symbolic link, a pipe, a device) or vanished meanwhile. With
    /// `requiredStart`, a file that does not begin so is left after its first few bytes.
    /// Throws std::system_error naming the file when it cannot be opened or read, so that a count
    /// never leaves out what it was asked to count without a word.
    std::optional<std::string_view> read(const char* path, std::string_view requiredStart = {});

    /// True when a NUL byte appears among the first bytes, as in images, archives and objects.
    static bool looksBinary(std::string_view contents);

private:
    std::vector<char> buffer_;
};

} // namespace norvane::counter
