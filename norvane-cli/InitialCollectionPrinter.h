#pragma once

#include "norvane-cli/ProgressPrinter.h"

#include "core/collection/InitialCollectionProgress.h"

#include <iosfwd>

namespace norvane::cli {

/// Prints the stages of a new project's first collection as they come: one line per stage on
/// `out`, and the history import on `history`. Errors are left to the caller, which has the whole
/// result.
class InitialCollectionPrinter {
public:
    InitialCollectionPrinter(std::ostream& out, ProgressPrinter& history);

    void print(const InitialCollectionProgress& stage);

private:
    void line(std::string_view text);

    std::ostream& out_;
    ProgressPrinter& history_;
};

} // namespace norvane::cli
