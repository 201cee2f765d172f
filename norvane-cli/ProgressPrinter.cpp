#include "norvane-cli/ProgressPrinter.h"

#include "norvane-cli/Console.h"
#include "norvane-cli/TerminalText.h"

#include "platform/UnicodeText.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <ostream>

namespace norvane::cli {
namespace {

constexpr std::size_t widestBar = 30;
constexpr std::size_t labelLength = 50;
// In columns, on a terminal of 80 or more.
constexpr std::size_t longestLine = 79;

ProgressDisplay displayOn(const Console& console) {
    if (!console.errorIsTerminal()) {
        return ProgressDisplay::none;
    }
    return console.errorIsDumbTerminal() ? ProgressDisplay::lines : ProgressDisplay::redrawn;
}

} // namespace

ProgressPrinter::ProgressPrinter(std::ostream& out, ProgressDisplay display, std::optional<std::size_t> terminalColumns)
    : out_(out), display_(display), lineColumns_(std::min(longestLine, terminalColumns.value_or(80) - 1)) {}

ProgressPrinter::ProgressPrinter(const Console& console)
    : ProgressPrinter(console.err(), displayOn(console), console.terminalColumns()) {}

ProgressPrinter::~ProgressPrinter() { finish(); }

void ProgressPrinter::update(int current, int total, std::string_view label) {
    if (display_ == ProgressDisplay::none) {
        return;
    }
    const auto count = fmt::format("{}/{}", current, total);
    // The count stays whole: the bar narrows to leave it room, its brackets and a space.
    const auto roomForBar = lineColumns_ > count.size() + 3 ? lineColumns_ - count.size() - 3 : 0;
    const auto progress = bar(current, total, std::min(widestBar, roomForBar));
    if (display_ == ProgressDisplay::lines && progress == lastLineBar_) {
        return;
    }
    const auto text =
        platform::UnicodeText::prefixColumns(fmt::format("{} {} {}", progress, count, cleanLabel(label)), lineColumns_);
    if (display_ == ProgressDisplay::lines) {
        out_ << text << '\n' << std::flush;
        lastLineBar_ = progress;
        return;
    }
    // Back to the line's start, redraw, and clear what a longer label left behind.
    out_ << '\r' << text << "\x1b[K" << std::flush;
    barDrawn_ = true;
}

void ProgressPrinter::finish() {
    if (barDrawn_) {
        out_ << '\n' << std::flush;
        barDrawn_ = false;
    }
}

std::string ProgressPrinter::cleanLabel(std::string_view label) {
    return platform::UnicodeText::prefixCharacters(TerminalText::printable(label), labelLength);
}

std::string ProgressPrinter::bar(int current, int total, std::size_t width) {
    const auto marks = static_cast<int64_t>(width);
    const auto share = total > 0 ? static_cast<int64_t>(current) * marks / total : 0;
    const auto filled = static_cast<std::size_t>(std::clamp<int64_t>(share, 0, marks));
    std::string shown(width + 2, '-');
    shown.front() = '[';
    std::fill_n(shown.begin() + 1, filled, '#');
    shown.back() = ']';
    return shown;
}

} // namespace norvane::cli
