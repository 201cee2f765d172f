#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace norvane::platform {

/// Unicode helpers for text that outside programs print and the classifiers compare.
namespace UnicodeText {

/// True when `bytes` is well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

/// `bytes` as UTF-8, with every ill-formed sequence replaced by U+FFFD, so that one bad byte in
/// a program's output never costs the rest of it.
std::string decodeLossy(std::string bytes);

/// True when the two texts are the same Unicode text (canonical equivalence): "caf\u00e9" with its
/// accent precomposed or as a combining mark. Texts that are not both UTF-8 compare as bytes, so
/// that two different ill-formed names never count as one.
bool canonicallyEqual(std::string_view first, std::string_view second);

/// Full Unicode lower-casing (root locale); ASCII text takes a fast path.
std::string lowercased(std::string_view text);

/// Full Unicode case folding, for comparing texts in any letter case; ASCII text takes a fast path.
std::string caseFolded(std::string_view text);

/// The columns that a terminal gives `text`: 2 for each wide or full-width character (Chinese,
/// Japanese, Korean, most emoji), none for combining marks, Hangul's joining vowels and finals and
/// other characters of zero width, 1 for every other character and for each byte that is not
/// UTF-8. A narrow character that the emoji selector U+FE0F turns into a picture takes 2.
std::size_t displayWidth(std::string_view text);

/// The first user-perceived characters (grapheme clusters) of `text` that fit in `columns`
/// terminal columns as `displayWidth` counts them.
std::string prefixColumns(std::string_view text, std::size_t columns);

/// The first `count` user-perceived characters (grapheme clusters) of `text`, or all of it.
std::string prefixCharacters(std::string_view text, std::size_t count);

} // namespace UnicodeText
} // namespace norvane::platform
