#pragma once

#include <string_view>
#include <vector>

namespace norvane::platform {

/// The pieces of `text` between its separators, empty ones left out; views into `text`.
std::vector<std::string_view> nonEmptyPieces(std::string_view text, char separator);

} // namespace norvane::platform
