#pragma once

#include <fstream>
#include <string>

namespace norvane {

/// This process's memory in megabytes as the kernel counts it: resident now ("VmRSS"), or at its
/// peak so far ("VmHWM"); 0 when it cannot be read.
inline double residentMegabytes(const std::string& field = "VmRSS") {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) / 1024.0;
    }
    return 0;
}

} // namespace norvane
