#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace norvane {

/// The figures of a project's newest code count (a snapshot that is not a history point).
struct CodeCount {
    std::int64_t codeLines = 0;
    std::int64_t totalFiles = 0;
    std::int64_t totalComplexity = 0;
    /// Code lines and complexity of the languages whose output category is code.
    std::int64_t codeCategoryCode = 0;
    std::int64_t codeCategoryComplexity = 0;
    /// The language with the most code lines; the first in name order among equals.
    std::optional<std::string> mainLanguage;

    bool operator==(const CodeCount&) const = default;
};

} // namespace norvane
