#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace norvane::counter {

/// A block comment's opening and closing marker.
struct BlockComment {
    std::string_view open{};
    std::string_view close{};
    /// Both markers count only in the first column (Ruby's =begin/=end, Perl's POD).
    bool firstColumn = false;
};

/// One kind of string literal of a language.
struct StringDelimiter {
    std::string_view open{};
    std::string_view close{};
    /// A backslash escapes the next byte, where the language's backslashes escape at all.
    bool escapes = true;
    /// The literal may run over several lines; otherwise an unclosed one ends with its line.
    bool multiline = false;
    /// Opened where a line holds no code yet, the literal is documentation (Python docstrings).
    bool docstring = false;
    /// C++ raw strings: `open` is followed by a tag and "(", and ")tag" + `close` ends it.
    bool tagged = false;
    /// Branch keywords inside do not count. Strings that the reference counter does not know
    /// leave them counted, as it reads those bytes as code.
    bool hidesBranches = false;
};

/// What a backslash means in a language.
enum class Backslash : std::uint8_t {
    /// It escapes the next byte in the strings that take escapes, and a quote after an odd run
    /// of backslashes opens no string.
    Escapes,
    /// Nothing: it is a byte like any other, before a quote too (SQL, Pascal, MATLAB).
    Text,
    /// Nothing either, in markup such as HTML and the templates written in it; and a quote right
    /// after one is text there, as a quote in running text is: it neither opens nor closes a
    /// string, which would otherwise swallow every later line.
    MarkupText,
};

/// How one language is recognised and counted: the data behind every row of the counter. The
/// lists are the arrays of braced lists, which live as long as the definition they initialise: the
/// table of languages is built without allocating anything.
struct LanguageDefinition {
    std::string_view name{};
    /// Lower-case file extensions without the leading dot; "d.ts" names a double extension.
    std::initializer_list<std::string_view> extensions{};
    /// Lower-case whole file names, such as "makefile" or ".gitignore".
    std::initializer_list<std::string_view> fileNames{};
    /// Programs named on the "#!" line of a script without an extension, such as "python3".
    std::initializer_list<std::string_view> interpreters{};
    std::initializer_list<std::string_view> lineComments{};
    std::initializer_list<BlockComment> blockComments{};
    /// Block comments nest, so every opening marker needs its own closing one.
    bool nestedComments = false;
    std::initializer_list<StringDelimiter> strings{};
    Backslash backslash = Backslash::Escapes;
    /// Keywords and operators, with the spacing they must have, that each add a branch point
    /// where they stand in code after a space, a tab, a line break or at the start of the file.
    std::initializer_list<std::string_view> complexity{};
    /// Words that tell this language from the others of a shared extension: the one whose
    /// words occur most often in a file is that file's language.
    std::initializer_list<std::string_view> keywords{};
    /// For a language of a shared extension that a file must prove to be, in place of keywords:
    /// true when the start of the file is one of its own.
    bool (*recognizes)(std::string_view start) = nullptr;
    /// Byte sequences that look like a comment or string start but are plain code, such as the
    /// character literal '"' in languages whose apostrophes are not quotes.
    std::initializer_list<std::string_view> verbatim{};
};

} // namespace norvane::counter
