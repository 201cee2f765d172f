#pragma once

#include <bitset>
#include <cstdint>
#include <string_view>
#include <vector>

namespace norvane::counter {

/// A wildcard pattern of an ignore file, read once as git reads it: "?" and "*" within one path
/// part, "[...]" classes with ranges, "!" or "^" and POSIX names such as "[:digit:]", "\" before a
/// byte taken as it stands, "**" between slashes (or at either end) across any number of folders.
/// A pattern git could never match, such as one with a "[" that is not closed, matches nothing.
class Glob {
public:
    explicit Glob(std::string_view pattern);

    /// `text` is a path whose parts are joined by "/". The pattern is read once, never again byte
    /// by byte: a star followed by a fixed length to the end of its part is tried at one place,
    /// and any star only while the rest of the pattern still fits in what is left of the text.
    bool matches(std::string_view text) const;

private:
    enum class Kind : std::uint8_t {
        Byte,
        AnyByte,
        Class,
        /// "*": any bytes but "/".
        Star,
        /// "**/": nothing, or any bytes that end with "/".
        Folders,
        /// "**\/": any bytes that end with "/".
        SomeFolders,
        /// "**" at the end: anything.
        Rest,
    };

    struct Token {
        Kind kind;
        unsigned char byte = 0;
        std::uint32_t classIndex = 0;
    };

    void compile(std::string_view pattern);
    std::size_t compileStars(std::string_view pattern, std::size_t at);
    std::size_t compileClass(std::string_view pattern, std::size_t at);
    void measure();
    bool matchesByte(const Token& token, unsigned char c) const;

    std::vector<Token> tokens_;
    std::vector<std::bitset<256>> classes_;
    static constexpr std::size_t kUnanchored = static_cast<std::size_t>(-1);

    /// The fewest bytes of text that the tokens from each index on can match.
    std::vector<std::size_t> shortest_;
    /// For each index, how many bytes the tokens from it match up to the end of their path part
    /// when that is one length (no star before the next "/" or the end), else kUnanchored.
    std::vector<std::size_t> anchoredRun_;
    bool matchesNothing_ = false;
};

} // namespace norvane::counter
