#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace norvane::cli {

/// Shows how far a long step has come as a bar redrawn in place on a terminal. A log file or a pipe
/// gets nothing: the summary that follows the step is what it keeps.
class ProgressPrinter {
public:
    ProgressPrinter(std::ostream& out, bool terminal);
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
    /// "[#######-------------]" for the share current / total.
    static std::string bar(int current, int total);

private:
    std::ostream& out_;
    bool terminal_;
    bool barDrawn_ = false;
};

} // namespace norvane::cli
