#pragma once

#include <filesystem>

namespace norvane::testing {

/// Makes the file at a path impossible to replace, for root too, as a full or read-only disk
/// does: a folder that holds something stands at its name, so no rename can land there. The file
/// that was there is kept aside and put back by `restore` (or at the end), as such a disk comes
/// back with its old content.
class UnwritableFile {
public:
    explicit UnwritableFile(std::filesystem::path path);
    ~UnwritableFile();
    UnwritableFile(const UnwritableFile&) = delete;
    UnwritableFile& operator=(const UnwritableFile&) = delete;

    void restore();

private:
    std::filesystem::path path_;
    std::filesystem::path aside_;
};

} // namespace norvane::testing
