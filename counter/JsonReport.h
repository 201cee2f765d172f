#pragma once

#include "counter/CodeCounter.h"

#include <string>
#include <vector>

namespace norvane::counter {

/// The rows as a JSON array of objects with the keys "Name", "Count", "Lines", "Code", "Comment",
/// "Blank" and "Complexity", in that order, one key per line, ending with a line break.
std::string formatJsonReport(const std::vector<LanguageSummary>& rows);

} // namespace norvane::counter
