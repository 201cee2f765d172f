#include "counter/CodeCounter.h"
#include "counter/CommandLine.h"
#include "counter/JsonReport.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

constexpr const char* kUsage = "usage: norvane-count --format json PATH\n";

} // namespace

int main(int argc, char** argv) {
    using namespace norvane::counter;
    const auto parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "norvane-count: " << *error << "\n" << kUsage;
        return 2;
    }
    const std::string& path = std::get<CountRequest>(parsed).path;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        std::cerr << "norvane-count: no such file or folder: " << path << "\n";
        return 1;
    }
    try {
        const auto report = CodeCounter().count(path);
        std::cout << formatJsonReport(report.rows) << std::flush;
        // The rest was counted: what could not be read is said, and the count still succeeds.
        if (!report.skipped.empty()) {
            std::cerr << report.skipped.describe() << "\n";
        }
    } catch (const std::exception& error) {
        std::cerr << "norvane-count: " << error.what() << "\n";
        return 1;
    }
    // A report that could not be written completely is a failure, not an empty success.
    return std::cout ? 0 : 1;
}
