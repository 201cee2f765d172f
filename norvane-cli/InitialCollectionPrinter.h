#pragma once

#include "norvane-cli/ProgressPrinter.h"

#include "core/collection/InitialCollectionProgress.h"

#include <iosfwd>

namespace norvane::cli {

/// Prints the stages of a new project's first collection as they come: one line per stage, and
/// the history import as progress. Errors are left to the caller, which has the whole result.
class InitialCollectionPrinter {
public:
    /// On a terminal of `terminalColumns`, 80 when it is not known.
    InitialCollectionPrinter(std::ostream& out, ProgressDisplay display,
                             std::optional<std::size_t> terminalColumns = {});

    void print(const InitialCollectionProgress& stage);

private:
    void line(std::string_view text);

    std::ostream& out_;
    ProgressPrinter history_;
};

} // namespace norvane::cli
