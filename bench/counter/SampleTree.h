#pragma once

#include <cstdint>
#include <filesystem>

namespace norvane::counter::bench {

/// A generated source tree in a temporary folder: files in ten languages with comments, strings
/// holding comment markers, blank lines and branches, spread over nested folders. Removed when the
/// object goes away.
class SampleTree {
public:
    SampleTree(int fileCount, int linesPerFile);
    ~SampleTree();
    SampleTree(const SampleTree&) = delete;
    SampleTree& operator=(const SampleTree&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::int64_t lineCount() const { return lineCount_; }

private:
    std::filesystem::path path_;
    std::int64_t lineCount_ = 0;
};

} // namespace norvane::counter::bench
