#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::cli {

class Console;

/// How progress shows: not at all (a log file or a pipe keeps the summary that follows the step),
/// as a bar redrawn in place (a terminal), or as plain lines (a dumb terminal, which knows no
/// escape sequences).
enum class ProgressDisplay { none, redrawn, lines };

/// Shows how far a long step has come as a line of at most 79 columns, and one fewer than a
/// narrower terminal has, so that it never wraps: a carriage return would then redraw only its
/// last part. Where the line is short, the label gives way first, then the bar; the count stays
/// whole. As plain lines, a line is printed each time the bar grows.
class ProgressPrinter {
public:
    /// On a terminal of `terminalColumns`, 80 when it is not known.
    ProgressPrinter(std::ostream& out, ProgressDisplay display, std::optional<std::size_t> terminalColumns = {});
    /// On `console`'s standard error, as far as that can show it.
    explicit ProgressPrinter(const Console& console);
    /// Ends a bar that is still drawn, so that whatever follows starts on a line of its own.
    ~ProgressPrinter();
    ProgressPrinter(const ProgressPrinter&) = delete;
    ProgressPrinter& operator=(const ProgressPrinter&) = delete;

    /// Step `current` of `total` (1-based), with a label such as a commit's subject.
    void update(int current, int total, std::string_view label);
    /// Ends the bar's line; does nothing when no bar is drawn.
    void finish();

    /// The first 50 characters of the label with its control characters escaped, which would
    /// otherwise move the cursor or garble a log.
    static std::string cleanLabel(std::string_view label);
    /// "[#######-------------]" for the share current / total, with `width` marks between the
    /// brackets.
    static std::string bar(int current, int total, std::size_t width);

private:
    std::ostream& out_;
    ProgressDisplay display_;
    std::size_t lineColumns_;
    bool barDrawn_ = false;
    std::string lastLineBar_;
};

} // namespace norvane::cli
