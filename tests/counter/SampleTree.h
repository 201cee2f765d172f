#pragma once

#include <filesystem>
#include <string_view>

namespace norvane::counter::testing {

/// Writes a small tree with the cases that counters get wrong (comment markers in strings, nested
/// and unnested block comments, docstrings, shebangs, CRLF, no final line break, an empty file, a
/// binary file, a folder left out by .gitignore) into `folder`.
void writeSampleTree(const std::filesystem::path& folder);

/// The rows the counter prints for that tree.
extern const std::string_view kSampleTreeRows;

} // namespace norvane::counter::testing
