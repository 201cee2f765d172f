#pragma once

#include <string>
#include <string_view>

namespace norvane::cli {

/// Text that the tool prints, made safe for a terminal and for the daily agent's log.
namespace TerminalText {

/// `text` with every control character written as an escape ("\n", "\t", "\r", "\x1b", "\u009b"),
/// every format character, line or paragraph separator and other invisible character too
/// ("\u202e", "\u200b", "\u2028", "\u3164", "\ufe0f"), every byte that is not part of well-formed
/// UTF-8 as "\xNN", and the backslash doubled, so that a name, a path or a message can neither
/// break a line nor drive the terminal (colours, titles, cursor moves), nor show reversed or hide
/// part of itself, nor print as another text does. The joiners and selectors of an emoji sequence that Unicode
/// recommends ("\u2764\ufe0f",
/// "\U0001f468\u200d\U0001f469\u200d\U0001f467") are kept: they are part of the picture typed.
std::string printable(std::string_view text);

} // namespace TerminalText
} // namespace norvane::cli
