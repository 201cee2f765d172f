#include "counter/CodeCounter.h"
#include "counter/CommandLine.h"
#include "counter/IgnoreRules.h"
#include "counter/JsonReport.h"
#include "counter/ProcessBounds.h"
#include "counter/QuotedPath.h"
#include "counter/StandardOutput.h"

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace {

// The time after which the programs that start the counter stop it; it holds the same limit
// itself, for when they are gone.
constexpr std::chrono::minutes kTimeLimit{30};

constexpr const char* kUsage =
    "usage: norvane-count --format json [--] PATH\n       norvane-count --version\n       norvane-count --help\n";

std::string megabytes(std::size_t bytes) { return std::to_string(bytes / (1024 * 1024)) + " MB"; }

// The bounds are those that `counter` holds to, so that a user can tell why a count failed.
std::string description(const norvane::counter::CodeCounter& counter) {
    using norvane::counter::IgnoreRules;
    return "Counts the lines of code, comments and blanks of the file or the folder tree at PATH, per\n"
           "language, and prints them as a JSON list of rows. Files that .gitignore and .ignore files\n"
           "name, version control folders and symbolic links below PATH are left out. Ignore files of\n"
           "any size are applied, within two bounds: each of their lines may be " +
           megabytes(IgnoreRules::kLongestLine) +
           " long, and the\npatterns in force in a folder, its own and those of the folders above it, may take " +
           megabytes(counter.ignorePatternBytes()) +
           "\n(a plain line takes its length and a few bytes, a wildcard more, a character class 34).\n"
           "Ignore files beyond them fail the count, which would otherwise count what they name.\n";
}

// Writes `text` to standard output: status 0, or 1 and why when it could not be written whole,
// which would otherwise pass for printed.
int printed(std::string_view text) {
    if (const auto failure = norvane::counter::writeToStandardOutput(text)) {
        std::cerr << "norvane-count: cannot write to standard output: " << *failure << "\n";
        return 1;
    }
    return 0;
}

// Why nothing can be counted at `path`, in the words of this program.
std::string unreachable(const std::string& path, int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR: return "no such file or folder: " + norvane::counter::quotedPath(path);
    case ELOOP: return "the symbolic links of " + norvane::counter::quotedPath(path) + " lead round in a loop";
    default: return "cannot read " + norvane::counter::quotedPath(path) + ": " + std::strerror(error);
    }
}

} // namespace

int main(int argc, char** argv) {
    using namespace norvane::counter;
    endWithParent();
    endAfter(kTimeLimit);
    const auto parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "norvane-count: " << *error << "\n" << kUsage;
        return 2;
    }
    const CodeCounter counter;
    if (std::holds_alternative<HelpRequest>(parsed)) {
        return printed(kUsage + description(counter));
    }
    if (std::holds_alternative<VersionRequest>(parsed)) {
        return printed("norvane-count " NORVANE_VERSION "\n");
    }
    const std::string& path = std::get<CountRequest>(parsed).path;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        std::cerr << "norvane-count: " << unreachable(path, errno) << "\n";
        return 1;
    }
    try {
        const auto report = counter.count(path);
        if (printed(formatJsonReport(report.rows)) != 0) {
            return 1;
        }
        // The rest was counted: what could not be read is said, and the count still succeeds.
        if (!report.skipped.empty()) {
            std::cerr << report.skipped.describe() << "\n";
        }
    } catch (const std::exception& error) {
        std::cerr << "norvane-count: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
