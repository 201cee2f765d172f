#pragma once

#include "counter/LanguageDefinition.h"

#include <vector>

namespace norvane::counter {

/// Every language the counter knows, in a fixed order. When two languages claim the same file
/// extension or name, the earlier one wins.
const std::vector<LanguageDefinition>& languageTable();

} // namespace norvane::counter
