#pragma once

#include "counter/LanguageDefinition.h"

#include <span>

namespace norvane::counter {

/// Every language the counter knows, in a fixed order. When two languages claim the same file
/// extension or name, the earlier one wins.
std::span<const LanguageDefinition> languageTable();

} // namespace norvane::counter
