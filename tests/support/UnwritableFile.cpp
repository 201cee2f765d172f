#include "tests/support/UnwritableFile.h"

#include <system_error>

namespace norvane::testing {

UnwritableFile::UnwritableFile(std::filesystem::path path) : path_(std::move(path)), aside_(path_.string() + ".aside") {
    if (std::filesystem::exists(std::filesystem::symlink_status(path_))) std::filesystem::rename(path_, aside_);
    std::filesystem::create_directories(path_ / "taken");
}

UnwritableFile::~UnwritableFile() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    std::filesystem::rename(aside_, path_, ignored);
}

void UnwritableFile::restore() {
    std::filesystem::remove_all(path_);
    if (std::filesystem::exists(std::filesystem::symlink_status(aside_))) std::filesystem::rename(aside_, path_);
}

} // namespace norvane::testing
