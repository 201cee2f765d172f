#pragma once

#include "counter/Glob.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::counter {

/// One line of a .gitignore or .ignore file: a glob (see Glob), optionally negated ("!"), limited
/// to folders (trailing "/") or anchored to the file's folder (a "/" at the start or in the middle).
///
/// A line is kept as a record of a few bytes: a byte of flags, the length of the rest, and then
/// the line's text, or its compiled glob when it holds a wildcard. Records are stored one after
/// another wherever their owner likes, and read from there.
class IgnorePattern {
public:
    /// What a line says and what its record takes.
    struct Layout {
        std::uint8_t flags = 0;
        std::string_view pattern;
        std::optional<Glob::Size> glob;
        std::size_t body = 0;
        /// The length of the whole record.
        std::size_t length = 0;
    };

    /// None for blank lines, comments, lines that name nothing and lines that can match nothing.
    static std::optional<IgnorePattern> parse(std::string_view line);

    /// `relativePath` is the entry's path below the ignore file's folder, parts joined by "/".
    bool matches(std::string_view relativePath, bool isFolder) const;
    bool negated() const { return negated(record_.data()); }

    /// None as for `parse`.
    static std::optional<Layout> layout(std::string_view line);
    /// Writes the record, `layout.length` bytes, to `out`.
    static void write(const Layout& layout, char* out);

    /// The length of the record that starts at `record`, read from its start.
    static std::size_t lengthOf(const char* record);
    /// `lastPart` is the last part of `relativePath`, where a line without a "/" looks.
    static bool matches(const char* record, std::string_view relativePath, std::string_view lastPart, bool isFolder);
    static bool negated(const char* record);

private:
    explicit IgnorePattern(std::string record) : record_(std::move(record)) {}

    std::string record_;
};

} // namespace norvane::counter
