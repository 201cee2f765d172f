#pragma once

#include <string>
#include <string_view>

namespace norvane::counter {

/// `path` as git writes a path it names (with core.quotePath, as git sets it unless told otherwise),
/// so that a name can neither end a message's line nor pass for text that the program wrote: as it
/// is when it holds no byte below 0x20, no DEL, no byte of 0x80 or above, no `"` and no backslash;
/// else between double quotes, with `"` and the backslash escaped by a backslash, \a \b \t \n \v \f
/// \r as C writes them, and every other such byte as a backslash and three octal digits.
std::string quotedPath(std::string_view path);

} // namespace norvane::counter
