#pragma once

#include "core/collection/SccLanguage.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace norvane {

/// The code counter's answer could not be read as a list of rows.
class SccParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The code counter's answer: its rows in the tool's order, with totals over all of them.
struct SccOutput {
    std::vector<SccLanguage> languages;
    /// What the counter said on standard error while succeeding, such as files it could not read.
    std::optional<std::string> warning;

    /// Reads the tool's raw output: a JSON array of complete rows whose counts are whole numbers
    /// from 0 and add up within 64 bits. Throws SccParseError otherwise, also for no bytes at all.
    static SccOutput parse(std::string_view bytes);

    int64_t totalFiles() const;
    int64_t totalLines() const;
    int64_t totalCode() const;
    int64_t totalComments() const;
    int64_t totalBlanks() const;
    int64_t totalComplexity() const;

    bool operator==(const SccOutput&) const = default;
};

} // namespace norvane
