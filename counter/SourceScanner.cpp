#include "counter/SourceScanner.h"

#include <algorithm>
#include <cstring>

namespace norvane::counter {

namespace {

constexpr std::uint8_t kNewline = 1;
constexpr std::uint8_t kSpace = 2;
constexpr std::uint8_t kToken = 4;
// Every token starting with this byte needs a word break before it.
constexpr std::uint8_t kWordOnly = 8;
// Every token starting with this byte is a branch keyword, which needs a blank before it.
constexpr std::uint8_t kBranchOnly = 16;

constexpr std::array<bool, 256> makeWordBytes() {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c >= 0x80;
    }
    return table;
}

constexpr std::array<bool, 256> kWordBytes = makeWordBytes();

bool isWordByte(char c) { return kWordBytes[static_cast<unsigned char>(c)]; }

// The bytes after which a branch keyword counts; a vertical tab or a form feed does not do.
bool separatesBranch(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Letters that may stand before a triple quote without making it code: r"""...""", u'''...'''.
bool isStringPrefix(char c) {
    return c == 'r' || c == 'R' || c == 'u' || c == 'U' || c == 'b' || c == 'B' || c == 'f' || c == 'F';
}

bool isBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

} // namespace

FileCounts& FileCounts::operator+=(const FileCounts& other) {
    lines += other.lines;
    code += other.code;
    comment += other.comment;
    blank += other.blank;
    complexity += other.complexity;
    return *this;
}

SourceScanner::SourceScanner(const LanguageDefinition& language)
    : blockComments_(language.blockComments), strings_(language.strings), nestedComments_(language.nestedComments) {
    for (auto marker : language.lineComments) {
        addToken(marker, TokenKind::LineComment, 0);
    }
    for (std::size_t index = 0; index < blockComments_.size(); ++index) {
        addToken(blockComments_[index].open, TokenKind::BlockComment, index);
    }
    for (std::size_t index = 0; index < strings_.size(); ++index) {
        addToken(strings_[index].open, TokenKind::String, index);
    }
    for (auto word : language.complexity) {
        addToken(word, TokenKind::Branch, 0);
    }
    for (auto text : language.verbatim) {
        addToken(text, TokenKind::Verbatim, 0);
    }
    findDeeperBytes();
    buildTables();
}

void SourceScanner::addToken(std::string_view text, TokenKind kind, std::size_t index) {
    // A keyword spelled like a comment marker is that marker.
    const bool taken =
        std::any_of(tokens_.begin(), tokens_.end(), [&](const Token& token) { return token.text == text; });
    if (text.empty() || (kind == TokenKind::Branch && taken)) {
        return;
    }
    // String prefixes such as u8R" or br#" may follow other letters; every other marker starts a word.
    tokens_.push_back(
        Token{.text = text,
              .kind = kind,
              .index = static_cast<std::uint8_t>(index),
              .afterWordBreak = isWordByte(text.front()) && kind != TokenKind::String,
              .reference = kind != TokenKind::Verbatim && (kind != TokenKind::String || strings_[index].hidesBranches),
              .deeperBytes = {}});
}

// The reference counter reads the longest run of bytes that begins some marker or keyword, and
// takes the token that ends exactly there, or none. So "!=x" is neither the keyword "!= " nor
// the comment "!", and "if(" is not the keyword "if ". Branch keywords follow that reading
// against every other token; other markers only yield to the keywords that continue them.
void SourceScanner::findDeeperBytes() {
    for (auto& token : tokens_) {
        for (const auto& longer : tokens_) {
            const bool counts = token.kind == TokenKind::Branch ? longer.reference : longer.kind == TokenKind::Branch;
            if (counts && longer.text.size() > token.text.size() && longer.text.starts_with(token.text) &&
                token.deeperBytes.find(longer.text[token.text.size()]) == std::string::npos) {
                token.deeperBytes.push_back(longer.text[token.text.size()]);
            }
        }
    }
}

void SourceScanner::buildTables() {
    // Grouped by first byte, longest first, so """ wins over " and --[[ over --.
    std::stable_sort(tokens_.begin(), tokens_.end(), [](const Token& left, const Token& right) {
        const auto leftByte = static_cast<unsigned char>(left.text.front());
        const auto rightByte = static_cast<unsigned char>(right.text.front());
        return leftByte != rightByte ? leftByte < rightByte : left.text.size() > right.text.size();
    });
    for (std::size_t index = 0; index < tokens_.size(); ++index) {
        const Token& token = tokens_[index];
        const auto byte = static_cast<unsigned char>(token.text.front());
        auto& range = tokenRanges_[byte];
        if (range.count == 0) {
            range.first = static_cast<std::uint16_t>(index);
            codeFlags_[byte] = kToken | kWordOnly | kBranchOnly;
        }
        ++range.count;
        if (token.kind != TokenKind::Branch) {
            codeFlags_[byte] &= static_cast<std::uint8_t>(~kBranchOnly);
            if (!token.afterWordBreak) {
                codeFlags_[byte] &= static_cast<std::uint8_t>(~kWordOnly);
            }
        }
    }
    for (std::size_t byte = 0; byte < wordTail_.size(); ++byte) {
        wordTail_[byte] = kWordBytes[byte] && (codeFlags_[byte] == 0 || (codeFlags_[byte] & kWordOnly) != 0);
    }
    codeFlags_[static_cast<unsigned char>('\n')] = kNewline;
    // A keyword such as " and " may start with a blank.
    for (const char blank : {' ', '\t', '\r', '\v', '\f'}) {
        codeFlags_[static_cast<unsigned char>(blank)] =
            kSpace | (codeFlags_[static_cast<unsigned char>(blank)] & kToken);
    }
}

/// One pass over one file: the scanner's tables plus the state that runs from line to line.
class SourceScanner::Run {
public:
    Run(const SourceScanner& scanner, std::string_view text)
        : scanner_(scanner), begin_(text.data()), end_(text.data() + text.size()), p_(begin_), lineStart_(begin_),
          lineEnd_(find(begin_, end_, '\n')), prefixChecked_(begin_) {}

    FileCounts execute() {
        skipPreamble();
        while (p_ < end_) {
            switch (mode_) {
            case Mode::Code: scanCode(); break;
            case Mode::Block: scanBlock(); break;
            case Mode::String: scanString(); break;
            }
        }
        if (begin_ != end_ && end_[-1] != '\n') {
            endLine(); // the last line has no line break
        }
        return counts_;
    }

private:
    enum class Mode : std::uint8_t { Code, Block, String };

    // A byte-order mark is not code, and "#!/bin/sh" is a comment in every language.
    void skipPreamble() {
        if (end_ - p_ >= 3 && std::memcmp(p_, "\xEF\xBB\xBF", 3) == 0) {
            p_ += 3;
            lineStart_ = p_;
        }
        if (end_ - p_ >= 3 && p_[0] == '#' && p_[1] == '!' && (p_[2] == '/' || p_[2] == ' ')) {
            lineComment_ = true;
            skipToLineEnd();
        }
    }

    void skipToLineEnd() { p_ = lineEnd(); }

    // The end of the line that p_ is on, looked for once per line: rescanning a long line for
    // every string or comment on it would take time that grows with the square of its length.
    const char* lineEnd() {
        if (lineEnd_ < p_) {
            lineEnd_ = find(p_, end_, '\n');
        }
        return lineEnd_;
    }

    // Markers are a few bytes long: comparing in place beats calling memcmp.
    bool startsWith(std::string_view text) const {
        if (static_cast<std::size_t>(end_ - p_) < text.size()) {
            return false;
        }
        for (std::size_t index = 0; index < text.size(); ++index) {
            if (p_[index] != text[index]) {
                return false;
            }
        }
        return true;
    }

    void scanCode() {
        const auto& flagsTable = scanner_.codeFlags_;
        const auto& wordTail = scanner_.wordTail_;
        // The plain bytes that make up most of a line run on local copies of the cursor.
        const char* p = p_;
        bool lineCode = lineCode_;
        while (p < end_) {
            const auto byte = static_cast<unsigned char>(*p);
            const std::uint8_t flags = flagsTable[byte];
            if ((flags & kSpace) != 0) {
                if ((flags & kToken) != 0 && lineCode) {
                    p_ = p;
                    matchToken(byte);
                }
                ++p;
                continue;
            }
            if ((flags & kNewline) != 0) {
                p_ = p;
                lineCode_ = lineCode;
                endLine();
                p = p_ + 1;
                lineCode = lineCode_;
                continue;
            }
            const bool skipped = p > begin_ && (((flags & kWordOnly) != 0 && isWordByte(p[-1])) ||
                                                ((flags & kBranchOnly) != 0 && !separatesBranch(p[-1])));
            if (flags != 0 && !skipped) {
                p_ = p;
                lineCode_ = lineCode;
                const bool matched = matchToken(byte);
                p = p_;
                lineCode = lineCode_;
                if (matched) {
                    if (mode_ != Mode::Code) {
                        return;
                    }
                    continue;
                }
            }
            lineCode = true;
            ++p;
            // The rest of a word cannot start a token, except string prefixes such as the R of u8R"(.
            if (kWordBytes[byte]) {
                while (p < end_ && wordTail[static_cast<unsigned char>(*p)]) {
                    ++p;
                }
            }
        }
        p_ = p;
        lineCode_ = lineCode;
    }

    // The token stands here and is not the start of a longer marker or keyword.
    bool standsHere(const Token& token) const {
        if (!startsWith(token.text)) {
            return false;
        }
        const char* after = p_ + token.text.size();
        return token.deeperBytes.empty() || after == end_ || token.deeperBytes.find(*after) == std::string::npos;
    }

    bool fits(const Token& token) const {
        if (token.afterWordBreak && p_ > begin_ && isWordByte(p_[-1])) {
            return false;
        }
        return token.kind != TokenKind::BlockComment || !scanner_.blockComments_[token.index].firstColumn ||
               p_ == lineStart_;
    }

    bool matchToken(unsigned char byte) {
        const TokenRange range = scanner_.tokenRanges_[byte];
        for (std::uint16_t index = range.first; index < range.first + range.count; ++index) {
            const Token& token = scanner_.tokens_[index];
            if (!standsHere(token) || !fits(token)) {
                continue;
            }
            switch (token.kind) {
            case TokenKind::LineComment:
                lineComment_ = true;
                skipToLineEnd();
                return true;
            case TokenKind::BlockComment:
                lineComment_ = true;
                mode_ = Mode::Block;
                active_ = token.index;
                depth_ = 1;
                p_ += token.text.size();
                return true;
            case TokenKind::String:
                if (openString(token)) {
                    return true;
                }
                continue;
            case TokenKind::Branch:
                // Keywords may overlap ("else if "), so reading goes on after the first byte.
                countBranch();
                lineCode_ = true;
                ++p_;
                return true;
            case TokenKind::Verbatim:
                lineCode_ = true;
                p_ += token.text.size();
                return true;
            }
        }
        return false;
    }

    void countBranch() {
        if (!branchesOff_ && (p_ == begin_ || separatesBranch(p_[-1]))) {
            ++counts_.complexity;
        }
    }

    // The reference counter reads a string it does not know as code: keywords count, and a
    // comment or string marker of its own stops the counting for the rest of the line.
    void countBranchesWithin(const char* from, const char* to) {
        const char* saved = p_;
        for (p_ = from; p_ < to && !branchesOff_; ++p_) {
            const TokenRange range = scanner_.tokenRanges_[static_cast<unsigned char>(*p_)];
            for (std::uint16_t index = range.first; index < range.first + range.count; ++index) {
                const Token& token = scanner_.tokens_[index];
                if (!standsHere(token) || !token.reference) {
                    continue;
                }
                if (token.kind == TokenKind::Branch) {
                    countBranch();
                } else {
                    branchesOff_ = true;
                }
                break;
            }
        }
        p_ = saved;
    }

    bool openString(const Token& token) {
        const StringDelimiter& delimiter = scanner_.strings_[token.index];
        // A quote after an odd run of backslashes is an escaped quote of the text around it: in
        // markup such as HTML it would otherwise open a string that swallows every later line.
        // There a backslash escapes nothing, so any one before the quote makes it text.
        if (token.text.front() != '\\' && (delimiter.markup ? followsBackslash(p_) : isEscaped(p_))) {
            return false;
        }
        const char* body = p_ + token.text.size();
        if (delimiter.tagged) {
            // R"tag( ... )tag": a tag of at most 16 bytes, then "(".
            const char* tagEnd = body;
            while (tagEnd < end_ && tagEnd - body <= 16 && *tagEnd != '(' && !isBlankByte(*tagEnd) && *tagEnd != '\n' &&
                   *tagEnd != ')' && *tagEnd != '\\' && *tagEnd != '"') {
                ++tagEnd;
            }
            if (tagEnd == end_ || *tagEnd != '(') {
                return false;
            }
            tag_ = std::string_view(body, static_cast<std::size_t>(tagEnd - body));
            body = tagEnd + 1;
        }
        docstring_ = delimiter.docstring && onlyPrefixBefore();
        if (docstring_) {
            lineCode_ = false; // a prefix such as the r of r""" is part of the docstring
            lineComment_ = true;
        } else {
            lineCode_ = true;
        }
        continued_ = false;
        mode_ = Mode::String;
        active_ = token.index;
        p_ = body;
        return true;
    }

    // Each byte of a line is looked at once, however many strings open on it.
    bool onlyPrefixBefore() {
        if (prefixChecked_ < lineStart_) {
            prefixChecked_ = lineStart_;
            onlyPrefix_ = true;
        }
        for (; onlyPrefix_ && prefixChecked_ < p_; ++prefixChecked_) {
            onlyPrefix_ = isBlankByte(*prefixChecked_) || isStringPrefix(*prefixChecked_);
        }
        return onlyPrefix_;
    }

    bool followsBackslash(const char* position) const { return position > begin_ && position[-1] == '\\'; }

    bool isEscaped(const char* position) const {
        const char* run = position;
        while (run > begin_ && run[-1] == '\\') {
            --run;
        }
        return (position - run) % 2 == 1;
    }

    bool closesTaggedString(const StringDelimiter& delimiter) const {
        const std::size_t length = 1 + tag_.size() + delimiter.close.size();
        return static_cast<std::size_t>(end_ - p_) >= length && *p_ == ')' &&
               std::memcmp(p_ + 1, tag_.data(), tag_.size()) == 0 &&
               std::memcmp(p_ + 1 + tag_.size(), delimiter.close.data(), delimiter.close.size()) == 0;
    }

    void scanString() {
        const StringDelimiter& delimiter = scanner_.strings_[active_];
        while (p_ < end_) {
            const char* segment = p_;
            const bool closed = closesWithin(delimiter, lineEnd());
            if (!delimiter.hidesBranches) {
                countBranchesWithin(segment, p_);
            }
            if (closed || p_ == end_) {
                return;
            }
            if (!delimiter.multiline && !continued_) {
                mode_ = Mode::Code; // an unclosed one-line string ends with its line
                return;
            }
            continued_ = false;
            endLine();
            ++p_;
        }
    }

    // Skips escapes up to `lineEnd`; true once the string is closed. A possible end found once
    // stays the next one until an escape or a false end moves past it.
    bool closesWithin(const StringDelimiter& delimiter, const char* lineEnd) {
        const char closeByte = delimiter.tagged ? ')' : delimiter.close.front();
        const char* close = find(p_, lineEnd, closeByte);
        while (p_ < lineEnd) {
            const char* escape = delimiter.escapes ? find(p_, close, '\\') : close;
            if (escape < close) {
                p_ = escape;
                skipEscape();
            } else {
                p_ = close;
                if (close == lineEnd) {
                    return false;
                }
                if (delimiter.tagged ? closesTaggedString(delimiter)
                                     : startsWith(delimiter.close) && !(delimiter.markup && followsBackslash(p_))) {
                    p_ += delimiter.tagged ? 1 + tag_.size() + delimiter.close.size() : delimiter.close.size();
                    mode_ = Mode::Code;
                    return true;
                }
                ++p_;
            }
            if (close < p_) {
                close = find(p_, lineEnd, closeByte);
            }
        }
        return false;
    }

    // A backslash before the line break carries a one-line string over to the next line.
    void skipEscape() {
        const std::ptrdiff_t left = end_ - p_;
        if (left >= 2 && p_[1] == '\n') {
            continued_ = true;
            p_ += 1;
        } else if (left >= 3 && p_[1] == '\r' && p_[2] == '\n') {
            continued_ = true;
            p_ += 2;
        } else {
            p_ += left >= 2 ? 2 : 1;
        }
    }

    // Comments are read line by line, jumping from one possible marker to the next.
    void scanBlock() {
        const BlockComment& comment = scanner_.blockComments_[active_];
        while (p_ < end_) {
            if (closesOrNestsWithin(comment, lineEnd())) {
                return;
            }
            p_ = lineEnd();
            if (p_ < end_) {
                endLine();
                ++p_;
            }
        }
    }

    // Handles the markers up to `lineEnd`; true once the outermost comment is closed.
    // As with strings, a possible closing marker found once is kept until p_ moves past it.
    bool closesOrNestsWithin(const BlockComment& comment, const char* lineEnd) {
        const char* close = find(p_, lineEnd, comment.close.front());
        while (p_ < lineEnd) {
            const char* open = scanner_.nestedComments_ ? find(p_, close, comment.open.front()) : close;
            if (open < close) {
                p_ = open;
                if (startsWith(comment.open)) {
                    ++depth_;
                    p_ += comment.open.size();
                } else {
                    ++p_;
                }
            } else {
                p_ = close;
                if (close == lineEnd) {
                    return false;
                }
                if (!startsWith(comment.close) || (comment.firstColumn && p_ != lineStart_)) {
                    ++p_;
                } else {
                    p_ += comment.close.size();
                    if (--depth_ == 0) {
                        mode_ = Mode::Code;
                        return true;
                    }
                }
            }
            if (close < p_) {
                close = find(p_, lineEnd, comment.close.front());
            }
        }
        return false;
    }

    // The first `byte` in [from, to), or `to`.
    static const char* find(const char* from, const char* to, char byte) {
        const void* found = std::memchr(from, byte, static_cast<std::size_t>(to - from));
        return found != nullptr ? static_cast<const char*>(found) : to;
    }

    // Called with p_ on the line break (or at the end of a last line without one).
    void endLine() {
        ++counts_.lines;
        if (lineCode_) {
            ++counts_.code;
        } else if (lineComment_) {
            ++counts_.comment;
        } else {
            ++counts_.blank;
        }
        lineStart_ = p_ + 1;
        branchesOff_ = false;
        lineComment_ = mode_ == Mode::Block || (mode_ == Mode::String && docstring_);
        lineCode_ = mode_ == Mode::String && !docstring_;
    }

    const SourceScanner& scanner_;
    const char* begin_;
    const char* end_;
    const char* p_;
    const char* lineStart_;
    const char* lineEnd_;
    // How far the current line is known to hold only blanks and string prefixes.
    const char* prefixChecked_;
    bool onlyPrefix_ = true;
    Mode mode_ = Mode::Code;
    std::uint8_t active_ = 0;
    std::size_t depth_ = 0;
    bool docstring_ = false;
    bool continued_ = false;
    bool branchesOff_ = false;
    std::string_view tag_;
    bool lineCode_ = false;
    bool lineComment_ = false;
    FileCounts counts_;
};

FileCounts SourceScanner::scan(std::string_view text) const { return Run(*this, text).execute(); }

} // namespace norvane::counter
