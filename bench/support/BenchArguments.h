#pragma once

#include <optional>
#include <string>
#include <vector>

namespace norvane::bench {

/// The command line of a bench program that takes files and numbers: -h or --help prints `usage` and
/// ends the program with status 0, and an option that is not among `options` (nor the help), or
/// fewer than `least` or more than `most` arguments, prints why and `usage` on standard error and
/// ends it with status 2, so that neither is taken for a file to make or read.
class BenchArguments {
public:
    BenchArguments(int argc, char** argv, std::string usage, std::vector<std::string> options = {});

    /// The exit status after the program said what it was asked or why it refuses; none when the
    /// arguments are for it to run with.
    std::optional<int> refusal(std::size_t least, std::size_t most) const;

private:
    std::string name_;
    std::vector<std::string> arguments_;
    std::string usage_;
    std::vector<std::string> options_;
};

} // namespace norvane::bench
