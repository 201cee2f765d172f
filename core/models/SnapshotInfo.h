#pragma once

#include "core/models/SnapshotFields.h"

namespace norvane {

/// A snapshot's stored fields as a plain value, with what its language rows give: what a caller on
/// another thread may keep of a snapshot, which reaches no record.
struct SnapshotInfo : SnapshotFields {
    /// Code lines and complexity of the languages whose output category is code.
    std::int64_t codeCategoryCode = 0;
    std::int64_t codeCategoryComplexity = 0;
    /// The language with the most code lines, of any output category; none without rows.
    std::optional<std::string> languageWithMostCode;
};

} // namespace norvane
