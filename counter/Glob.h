#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace norvane::counter {

/// A wildcard pattern of an ignore file, read once as git reads it: "?" and "*" within one path
/// part, "[...]" classes with ranges, "!" or "^" and POSIX names such as "[:digit:]", "\" before a
/// byte taken as it stands, "**" between slashes (or at either end) across any number of folders.
/// A pattern git could never match, such as one with a "[" that is not closed, matches nothing.
///
/// A pattern is compiled into a few bytes, so that millions of them fit in little memory: the
/// fewest bytes of text it can match, then its bytes as they stand, each wildcard being a NUL (which
/// no pattern holds), its kind and what the matcher needs to know of the pattern there.
class Glob {
public:
    /// What the compiled pattern needs: the fewest bytes of text the pattern matches and the
    /// compiled pattern's length.
    struct Size {
        std::size_t shortest = 0;
        std::size_t length = 0;
    };

    /// None when git could never match the pattern.
    static std::optional<Size> measure(std::string_view pattern);
    /// Writes the compiled pattern, `size.length` bytes, to `out`.
    static void compile(std::string_view pattern, Size size, char* out);

    /// `text` is a path whose parts are joined by "/", `code` a compiled pattern. The pattern is
    /// read once, never again byte by byte: a star followed by a fixed length to the end of its part
    /// is tried at one place, and any star only while the rest of the pattern still fits in what is
    /// left of the text.
    static bool matches(std::string_view code, std::string_view text);
};

} // namespace norvane::counter
