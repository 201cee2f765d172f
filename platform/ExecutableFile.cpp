#include "platform/ExecutableFile.h"

#include <unistd.h>

namespace norvane::platform {

bool isExecutableFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace norvane::platform
