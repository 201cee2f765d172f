#pragma once

#include "core/models/OutputCategory.h"

#include <optional>
#include <string_view>

namespace norvane {

/// Sorts measured lines into output categories: a code counter's row by its language name, and a
/// changed file of the git log by its path.
namespace OutputCategoryClassifier {

/// The category of a language row. With a path that looks like a test, `tests`; otherwise docs,
/// config or code by the language name, compared whole and case-insensitively.
OutputCategory categorize(std::string_view language, std::optional<std::string_view> filePath = std::nullopt);

/// The category of a path relative to the repository: test markers first, then the extension,
/// then the file name.
OutputCategory categorizePath(std::string_view path);

} // namespace OutputCategoryClassifier
} // namespace norvane
