#pragma once

#include <optional>
#include <string>
#include <vector>

namespace norvane::platform {

/// The command line of a small program that takes files, folders and numbers without an option
/// parser: -h or --help prints the usage (and the description) and ends the program with status 0,
/// and an option that is not among `options`, or fewer than `least` or more than `most` arguments,
/// prints why and the usage on standard error and ends it with status 2, so that neither is taken
/// for a file to make or read. A file whose name starts with "-" is given as "./-name".
class ProgramArguments {
public:
    struct Usage {
        std::string line;             ///< "usage: NAME ARGUMENTS\n"
        std::string description = {}; ///< printed after the line for -h and --help alone
        std::vector<std::string> options = {};
    };

    ProgramArguments(int argc, char** argv, Usage usage);
    /// `arguments` without the program's own name, as a toolkit leaves them after taking its own.
    ProgramArguments(std::string name, std::vector<std::string> arguments, Usage usage);

    /// The exit status after the program said what it was asked or why it refuses; none when the
    /// arguments are for it to run with.
    std::optional<int> refusal(std::size_t least, std::size_t most) const;

private:
    std::string name_;
    std::vector<std::string> arguments_;
    Usage usage_;
};

} // namespace norvane::platform
