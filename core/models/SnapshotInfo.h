#pragma once

#include "platform/Date.h"
#include "platform/Uuid.h"

#include <cstdint>
#include <optional>
#include <string>

namespace norvane {

/// A code count's stored fields as a plain value, with what its language rows give: what a caller
/// on another thread may keep of a snapshot, which reaches no record.
struct SnapshotInfo {
    platform::Uuid id;
    platform::Date capturedAt{};
    std::string snapshotTypeRaw;
    std::int64_t totalFiles = 0;
    std::int64_t totalLines = 0;
    std::int64_t codeLines = 0;
    std::int64_t commentLines = 0;
    std::int64_t blankLines = 0;
    std::int64_t totalComplexity = 0;
    std::optional<std::string> latestCommitHash;
    std::optional<std::string> latestCommitMessage;
    std::optional<std::string> latestCommitAuthor;
    std::optional<platform::Date> latestCommitDate;
    std::optional<std::string> analyzedCommitHash;
    /// Code lines and complexity of the languages whose output category is code.
    std::int64_t codeCategoryCode = 0;
    std::int64_t codeCategoryComplexity = 0;
    /// The language with the most code lines, of any output category; none without rows.
    std::optional<std::string> languageWithMostCode;
};

} // namespace norvane
