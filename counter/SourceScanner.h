#pragma once

#include "counter/ByteFinder.h"
#include "counter/LanguageDefinition.h"
#include "counter/TextSource.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::counter {

/// What one file, or a sum of files, holds.
struct FileCounts {
    std::int64_t lines = 0;
    std::int64_t code = 0;
    std::int64_t comment = 0;
    std::int64_t blank = 0;
    std::int64_t complexity = 0;

    FileCounts& operator+=(const FileCounts& other);
    bool operator==(const FileCounts&) const = default;
};

/// Sorts the lines of one file of a language into code, comment and blank lines and counts its
/// branch points. Built once per language from its definition into byte tables, so that scanning
/// a file is one pass over its bytes without allocating anything.
///
/// A line with any code is code; a line that holds only comments (or lies inside a block comment
/// or a docstring) is a comment, even when it is empty; any other line without visible bytes is
/// blank. Lines inside a string literal are code.
class SourceScanner {
    /// One scan of one text.
    class Run;

public:
    /// The longest comment marker, string delimiter or keyword a language may have.
    static constexpr std::size_t kLongestMarker = 64;
    /// How far past the place it reads the scanner looks: a marker, a raw string's tag and an
    /// escape.
    static constexpr std::size_t kLookahead = 2 * kLongestMarker;
    static_assert(kLookahead + 1 <= TextSource::kLongestKept);

    /// Throws std::logic_error for a marker longer than kLongestMarker.
    explicit SourceScanner(const LanguageDefinition& language);

    /// A whole text held in memory.
    FileCounts scan(std::string_view text) const;
    /// A text from its first window, `first`, on through the windows that `rest` hands out: the
    /// counts are those of the whole text, in memory bounded by the windows.
    FileCounts scan(std::string_view first, TextSource& rest) const;

    /// A scan of a text in pieces that each start a line, so that a long text can be scanned by
    /// several threads at once: each piece after the first is scanned as if code came before it,
    /// which holds where the piece before it ended in code. Where it did not, the pass of that piece
    /// goes on over the next one, and the counts are those of the whole text.
    class Pass {
    public:
        /// `atTextStart`: the first piece, which a byte-order mark or a "#!" line may start.
        Pass(const SourceScanner& scanner, bool atTextStart);
        ~Pass();

        /// Scans the next piece, from its first window `first` on through the windows that `rest`
        /// hands out.
        void scan(std::string_view first, TextSource& rest);
        /// The counts of every piece this pass scanned.
        const FileCounts& counts() const;
        /// True when the last piece ended outside comments and strings.
        bool endsInCode() const;

    private:
        std::unique_ptr<Run> run_;
    };

private:
    enum class TokenKind : std::uint8_t { LineComment, BlockComment, String, Branch, Verbatim };

    struct Token {
        std::string_view text;
        TokenKind kind;
        std::uint8_t index;  // into blockComments_ or strings_
        bool afterWordBreak; // must not continue a word
        bool reference;      // a token the reference counter knows too
        /// Bytes that, right after the text, lead on into a longer token that shadows this one.
        std::string deeperBytes;
    };

    struct TokenRange {
        std::uint16_t first = 0;
        std::uint16_t count = 0;
    };

    void addToken(std::string_view text, TokenKind kind, std::size_t index);
    void findDeeperBytes();
    void buildTables();

    std::vector<BlockComment> blockComments_;
    std::vector<StringDelimiter> strings_;
    bool nestedComments_ = false;
    Backslash backslash_ = Backslash::Escapes;
    /// A line comment starts with "#", as the "#!" line of a script does.
    bool hashComments_ = false;
    std::vector<Token> tokens_;
    std::array<TokenRange, 256> tokenRanges_{};
    /// For each first byte, the bytes that may follow it in a token: all of them where a token is
    /// that byte alone. Most bytes that may start a token start none where they stand.
    std::array<std::bitset<256>, 256> secondBytes_{};
    std::array<std::uint8_t, 256> codeFlags_{};
    /// How a line that already holds code reads on past each byte.
    std::array<std::uint8_t, 256> codeRuns_{};
    /// The bytes past which it does not simply read on.
    ByteFinder runEnds_;
};

} // namespace norvane::counter
