#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::platform {
class DescriptorOutput;
}

namespace norvane::cli {

/// Where a command writes and reads, and whether a person sits at either end. Results go to
/// standard output; progress, like errors, to standard error, so that a result sent to a file or
/// a pipe holds the result alone while the terminal still shows how far the work has come.
class Console {
public:
    Console(std::ostream& out, std::ostream& err, std::istream& in, bool errorIsTerminal, bool inputIsTerminal);

    /// The process's standard streams, with the terminals found by isatty and TERM. Standard output
    /// keeps why a write to it failed, for `outputFailure`.
    static Console standard();

    std::ostream& out() const { return out_; }
    std::ostream& err() const { return err_; }
    std::istream& in() const { return in_; }
    bool errorIsTerminal() const { return errorIsTerminal_; }
    /// Standard error is a terminal that knows no escape sequences, not even to clear a line (TERM
    /// unset or "dumb").
    bool errorIsDumbTerminal() const { return errorIsDumbTerminal_; }
    bool inputIsTerminal() const { return inputIsTerminal_; }
    /// The width of the terminal that standard error is, as it says; none when it says none (or is
    /// no terminal).
    std::optional<std::size_t> terminalColumns() const { return terminalColumns_; }

    /// One line on standard output, its control characters escaped.
    void printLine(std::string_view text) const;
    /// The message on standard error, each of its lines prefixed with the tool's name, trimmed
    /// and with its control characters escaped; empty lines are left out.
    void printError(std::string_view message) const;
    /// One line on standard error, prefixed with the tool's name and "warning: ": something was
    /// left out, yet the command did what it was asked.
    void printWarning(std::string_view message) const;
    /// Writes out what standard output still holds; the message for the user when some of the
    /// output could not be written (a full disk, a closed file), none when all of it was.
    std::optional<std::string> outputFailure() const;

private:
    std::ostream& out_;
    std::ostream& err_;
    std::istream& in_;
    bool errorIsTerminal_;
    bool inputIsTerminal_;
    bool errorIsDumbTerminal_ = false;
    std::optional<std::size_t> terminalColumns_;
    /// Standard output as the process has it; none for the streams a test hands in.
    const platform::DescriptorOutput* standardOutput_ = nullptr;
};

} // namespace norvane::cli
