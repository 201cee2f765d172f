#include "norvane-cli/Console.h"

#include "norvane-cli/TerminalText.h"

#include "platform/DescriptorOutput.h"
#include "platform/TextTrimming.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>

namespace norvane::cli {

Console::Console(std::ostream& out, std::ostream& err, std::istream& in, bool errorIsTerminal, bool inputIsTerminal)
    : out_(out), err_(err), in_(in), errorIsTerminal_(errorIsTerminal), inputIsTerminal_(inputIsTerminal) {}

Console Console::standard() {
    static platform::DescriptorOutput out(STDOUT_FILENO);
    Console console(out, std::cerr, std::cin, isatty(STDERR_FILENO) == 1, isatty(STDIN_FILENO) == 1);
    // As git reads it: a terminal that does not say what it is can do nothing but print lines.
    const char* terminalType = std::getenv("TERM");
    console.errorIsDumbTerminal_ = console.errorIsTerminal_ && (terminalType == nullptr || *terminalType == '\0' ||
                                                                std::string_view(terminalType) == "dumb");
    if (winsize size{}; console.errorIsTerminal_ && ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        console.terminalColumns_ = size.ws_col;
    }
    console.standardOutput_ = &out;
    return console;
}

void Console::printLine(std::string_view text) const {
    // Flushed at once, so that a log shows each line as it happens, in order with the errors.
    out_ << TerminalText::printable(text) << std::endl;
}

void Console::printError(std::string_view message) const {
    // Results go to standard output; keep them in order with the error where both reach one terminal.
    out_.flush();
    // A message of several lines, such as git's with its advice, is printed as several lines.
    const auto text = platform::trimmed(message);
    if (text.empty()) {
        err_ << "norvane:" << std::endl;
        return;
    }
    for (std::string_view rest = text; !rest.empty();) {
        const auto end = rest.find('\n');
        if (const auto line = platform::trimmed(rest.substr(0, end)); !line.empty()) {
            err_ << "norvane: " << TerminalText::printable(line) << '\n';
        }
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    err_.flush();
}

void Console::printWarning(std::string_view message) const { printError("warning: " + std::string(message)); }

std::optional<std::string> Console::outputFailure() const {
    out_.flush();
    if (!out_.fail()) {
        return std::nullopt;
    }
    const auto* reason =
        standardOutput_ != nullptr && standardOutput_->failure() ? &*standardOutput_->failure() : nullptr;
    return reason != nullptr ? "Cannot write to standard output: " + *reason
                             : std::string("Cannot write to standard output");
}

} // namespace norvane::cli
