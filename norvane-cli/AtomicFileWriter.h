#pragma once

#include <filesystem>
#include <string_view>

namespace norvane::cli {

/// Writes a file so that readers see either the old file or the whole new one: the text goes to
/// a temporary file in the same folder, which is flushed to disk and then renamed over the target.
class AtomicFileWriter {
public:
    AtomicFileWriter() = delete;

    /// Fails with std::runtime_error naming the file and the reason; leaves no temporary file
    /// behind and the target as it was.
    static void write(const std::filesystem::path& file, std::string_view contents);
};

} // namespace norvane::cli
