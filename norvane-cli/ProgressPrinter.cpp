#include "norvane-cli/ProgressPrinter.h"

#include "norvane-cli/TerminalText.h"

#include "platform/UnicodeText.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <ostream>

namespace norvane::cli {
namespace {

constexpr int barWidth = 30;
constexpr std::size_t labelLength = 50;
// A redrawn line must not wrap, or the carriage return would redraw only its last part.
constexpr std::size_t terminalLineLength = 79;

} // namespace

ProgressPrinter::ProgressPrinter(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}

ProgressPrinter::~ProgressPrinter() { finish(); }

void ProgressPrinter::update(int current, int total, std::string_view label) {
    if (!terminal_) {
        return;
    }
    const auto text = cleanLabel(label);
    const auto head = fmt::format("{} {}/{} ", bar(current, total), current, total);
    const auto room = terminalLineLength > head.size() ? terminalLineLength - head.size() : 0;
    // Back to the line's start, redraw, and clear what a longer label left behind.
    out_ << '\r' << head << platform::UnicodeText::prefixCharacters(text, room) << "\x1b[K" << std::flush;
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

std::string ProgressPrinter::bar(int current, int total) {
    const auto share = total > 0 ? static_cast<int64_t>(current) * barWidth / total : 0;
    const auto filled = static_cast<int>(std::clamp<int64_t>(share, 0, barWidth));
    return "[" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(barWidth - filled), '-') + "]";
}

} // namespace norvane::cli
