#include "counter/SourceScanner.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>
#include <string>

namespace norvane::counter {

namespace {

constexpr std::uint8_t kNewline = 1;
constexpr std::uint8_t kSpace = 2;
constexpr std::uint8_t kToken = 4;
// Every token starting with this byte needs a word break before it.
constexpr std::uint8_t kWordOnly = 8;
// Every token starting with this byte is a branch keyword, which needs a blank before it.
constexpr std::uint8_t kBranchOnly = 16;
// A byte-order mark and "#!/".
constexpr std::size_t kPreambleLength = 6;
// How code reads on past a byte: as code, as code that a keyword may follow, or not at all.
constexpr std::uint8_t kRunCode = 0;
constexpr std::uint8_t kRunSeparator = 1;
constexpr std::uint8_t kRunStop = 2;

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

// A window lets the scanner see only so far past the place it reads.
void requireVisible(std::string_view marker) {
    if (marker.size() > SourceScanner::kLongestMarker) {
        throw std::logic_error("marker longer than the scanner sees at once: " + std::string(marker));
    }
}

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
    : blockComments_(language.blockComments), strings_(language.strings), nestedComments_(language.nestedComments),
      backslash_(language.backslash) {
    for (auto& delimiter : strings_) {
        delimiter.escapes = delimiter.escapes && backslash_ == Backslash::Escapes;
    }
    for (auto marker : language.lineComments) {
        addToken(marker, TokenKind::LineComment, 0);
        hashComments_ = hashComments_ || std::string_view("#!").starts_with(marker);
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
    for (const auto& comment : blockComments_) {
        requireVisible(comment.close);
    }
    for (const auto& delimiter : strings_) {
        requireVisible(delimiter.close);
    }
    findDeeperBytes();
    buildTables();
}

void SourceScanner::addToken(std::string_view text, TokenKind kind, std::size_t index) {
    requireVisible(text);
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
        if (token.text.size() == 1) {
            secondBytes_[byte].set();
        } else {
            secondBytes_[byte].set(static_cast<unsigned char>(token.text[1]));
        }
        if (token.kind != TokenKind::Branch) {
            codeFlags_[byte] &= static_cast<std::uint8_t>(~kBranchOnly);
            if (!token.afterWordBreak) {
                codeFlags_[byte] &= static_cast<std::uint8_t>(~kWordOnly);
            }
        }
    }
    codeFlags_[static_cast<unsigned char>('\n')] = kNewline;
    // A keyword such as " and " may start with a blank.
    for (const char blank : {' ', '\t', '\r', '\v', '\f'}) {
        codeFlags_[static_cast<unsigned char>(blank)] =
            kSpace | (codeFlags_[static_cast<unsigned char>(blank)] & kToken);
    }
    // Code runs on over bytes that start no token, and over those that start branch keywords only,
    // where no blank stands before them.
    for (std::size_t byte = 0; byte < codeRuns_.size(); ++byte) {
        const std::uint8_t flags = codeFlags_[byte];
        if (flags == 0 || flags == kSpace || (flags & (kBranchOnly | kSpace | kNewline)) == kBranchOnly) {
            codeRuns_[byte] = separatesBranch(static_cast<char>(byte)) ? kRunSeparator : kRunCode;
        } else {
            codeRuns_[byte] = kRunStop;
        }
    }
    std::string runEnds;
    for (std::size_t byte = 0; byte < codeRuns_.size(); ++byte) {
        if (codeRuns_[byte] != kRunCode) {
            runEnds.push_back(static_cast<char>(byte));
        }
    }
    runEnds_ = ByteFinder(runEnds);
}

/// One pass over one file, fed a window of it at a time: the scanner's tables plus the state that
/// runs from line to line and from window to window.
///
/// Within a window no marker or keyword starts at or after `limit_`, so that every one that starts
/// before it can be seen whole; the next window begins with the byte before where reading stopped,
/// so that what stands before a marker is known too. Only the last window is read to its end.
class SourceScanner::Run {
public:
    explicit Run(const SourceScanner& scanner) : scanner_(scanner) {}

    /// Scans `window` and gives how many of its leading bytes the next window need not repeat.
    std::size_t feed(std::string_view window, bool last) {
        enter(window, last);
        if (!started_) {
            // A byte-order mark and "#!/" need the start of the file whole.
            if (!last && window.size() < kPreambleLength) {
                return 0;
            }
            started_ = true;
            skipPreamble();
        }
        while (p_ < limit_) {
            switch (mode_) {
            case Mode::Code: scanCode(); break;
            case Mode::Block: scanBlock(); break;
            case Mode::String: scanString(); break;
            case Mode::LineComment: skipToLineEnd(); break;
            }
        }
        if (!last) {
            return leave();
        }
        // The last line has no line break; a byte-order mark alone is no line, as in the reference.
        if (lineStart_ < end_ && end_[-1] != '\n') {
            endLine();
        }
        return window.size();
    }

    const FileCounts& counts() const { return counts_; }
    bool inCode() const { return mode_ == Mode::Code; }

    /// Goes on at the start of a line, as though the line break before it were kept: the next
    /// window starts with that line.
    void startPiece() {
        started_ = true;
        carried_ = {};
        oddBackslashesBefore_ = false;
    }

private:
    enum class Mode : std::uint8_t { Code, Block, String, LineComment };

    void enter(std::string_view window, bool last) {
        front_ = window.data();
        end_ = front_ + window.size();
        limit_ = last ? end_ : front_ + (window.size() > kLookahead ? window.size() - kLookahead : 0);
        p_ = front_ + carried_.p;
        lineStart_ = front_ + carried_.lineStart;
        prefixChecked_ = front_ + carried_.prefixChecked;
        lineEnd_ = findLineEnd();
    }

    // Keeps the byte before `p_`, and notes where the kept bytes' pointers will fall.
    std::size_t leave() {
        const char* kept = p_ > front_ ? p_ - 1 : front_;
        onlyPrefixBefore(); // what the next window cannot look back at is settled now
        const char* run = kept;
        while (run > front_ && run[-1] == '\\') {
            --run;
        }
        oddBackslashesBefore_ = ((kept - run) % 2 == 1) != (run == front_ && oddBackslashesBefore_);
        carried_.p = static_cast<std::size_t>(p_ - kept);
        carried_.lineStart = lineStart_ > kept ? static_cast<std::size_t>(lineStart_ - kept) : 0;
        carried_.prefixChecked = carried_.p;
        return static_cast<std::size_t>(kept - front_);
    }

    // A byte-order mark is not code. The "#!/bin/sh" line is read by the program it names, not
    // by the language, so nothing on it opens a comment or a string: it is a comment where the
    // language's comments start with "#", and code elsewhere.
    void skipPreamble() {
        if (end_ - p_ >= 3 && std::memcmp(p_, "\xEF\xBB\xBF", 3) == 0) {
            p_ += 3;
            lineStart_ = p_;
        }
        if (end_ - p_ >= 3 && p_[0] == '#' && p_[1] == '!' && (p_[2] == '/' || p_[2] == ' ')) {
            (scanner_.hashComments_ ? lineComment_ : lineCode_) = true;
            skipToLineEnd();
        }
    }

    // A line comment whose end lies beyond the window goes on in the next one.
    void skipToLineEnd() {
        p_ = lineEnd();
        mode_ = p_ < limit_ ? Mode::Code : Mode::LineComment;
    }

    // The end of the line that p_ is on, looked for once per line: rescanning a long line for
    // every string or comment on it would take time that grows with the square of its length.
    // Where the window stops first, that is the end for now.
    const char* lineEnd() {
        if (lineEnd_ < p_) {
            lineEnd_ = findLineEnd();
        }
        return lineEnd_;
    }

    const char* findLineEnd() const { return p_ < limit_ ? find(p_, limit_, '\n') : p_; }

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
        // The plain bytes that make up most of a line run on local copies of the cursor.
        const char* p = p_;
        bool lineCode = lineCode_;
        while (p < limit_) {
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
            const bool skipped = p > front_ && (((flags & kWordOnly) != 0 && isWordByte(p[-1])) ||
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
            p = skipCode(p + 1);
        }
        p_ = p;
        lineCode_ = lineCode;
    }

    // Goes over code up to the next byte that may start something: a line break, a token that may
    // stand anywhere, or a keyword after a blank. Blanks change nothing on a line of code.
    const char* skipCode(const char* p) const {
        const auto& runs = scanner_.codeRuns_;
        if (scanner_.runEnds_.usable()) {
            for (; limit_ - p >= ByteFinder::kBlockLength; p += ByteFinder::kBlockLength) {
                for (auto found = scanner_.runEnds_.findIn(p); found != 0; found &= found - 1) {
                    const char* at = p + std::countr_zero(found);
                    const std::uint8_t run = runs[static_cast<unsigned char>(*at)];
                    if (run != kRunCode && !readsOn(at)) {
                        return run == kRunSeparator ? at + 1 : at;
                    }
                }
            }
        }
        for (; p < limit_; ++p) {
            const std::uint8_t run = runs[static_cast<unsigned char>(*p)];
            if (run != kRunCode && !readsOn(p)) {
                return run == kRunSeparator ? p + 1 : p;
            }
        }
        return p;
    }

    // Code reads on past a blank that no keyword follows, as its first two bytes tell.
    bool readsOn(const char* blank) const {
        if (scanner_.codeRuns_[static_cast<unsigned char>(*blank)] != kRunSeparator || blank + 2 >= limit_) {
            return false;
        }
        const auto next = static_cast<unsigned char>(blank[1]);
        return (scanner_.codeFlags_[next] & kBranchOnly) == 0 ||
               !scanner_.secondBytes_[next].test(static_cast<unsigned char>(blank[2]));
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
        if (token.afterWordBreak && p_ > front_ && isWordByte(p_[-1])) {
            return false;
        }
        return token.kind != TokenKind::BlockComment || !scanner_.blockComments_[token.index].firstColumn ||
               p_ == lineStart_;
    }

    // Whether a token may start at p_, by its first two bytes.
    bool mayStartToken(unsigned char byte) const {
        return p_ + 1 == end_ || scanner_.secondBytes_[byte].test(static_cast<unsigned char>(p_[1]));
    }

    bool matchToken(unsigned char byte) {
        if (!mayStartToken(byte)) {
            return false;
        }
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
        if (!branchesOff_ && (p_ == front_ || separatesBranch(p_[-1]))) {
            ++counts_.complexity;
        }
    }

    // The reference counter reads a string it does not know as code: keywords count, and a
    // comment or string marker of its own stops the counting for the rest of the line.
    void countBranchesWithin(const char* from, const char* to) {
        const char* saved = p_;
        for (p_ = from; p_ < to && !branchesOff_; ++p_) {
            if (!mayStartToken(static_cast<unsigned char>(*p_))) {
                continue;
            }
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
        if (token.text.front() != '\\' && isTextAfterBackslash(p_)) {
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
            tag_.assign(body, static_cast<std::size_t>(tagEnd - body));
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

    // Whether the backslashes before the quote at `position` make it text: an escaped quote
    // where they escape, any quote right after one in markup.
    bool isTextAfterBackslash(const char* position) const {
        switch (scanner_.backslash_) {
        case Backslash::Escapes: return isEscaped(position);
        case Backslash::Text: return false;
        case Backslash::MarkupText: return followsBackslash(position);
        }
        return false;
    }

    bool followsBackslash(const char* position) const { return position > front_ && position[-1] == '\\'; }

    bool isEscaped(const char* position) const {
        const char* run = position;
        while (run > front_ && run[-1] == '\\') {
            --run;
        }
        return ((position - run) % 2 == 1) != (run == front_ && oddBackslashesBefore_);
    }

    bool closesTaggedString(const StringDelimiter& delimiter) const {
        const std::size_t length = 1 + tag_.size() + delimiter.close.size();
        return static_cast<std::size_t>(end_ - p_) >= length && *p_ == ')' &&
               std::memcmp(p_ + 1, tag_.data(), tag_.size()) == 0 &&
               std::memcmp(p_ + 1 + tag_.size(), delimiter.close.data(), delimiter.close.size()) == 0;
    }

    void scanString() {
        const StringDelimiter& delimiter = scanner_.strings_[active_];
        while (p_ < limit_) {
            const char* segment = p_;
            const bool closed = closesWithin(delimiter, lineEnd());
            if (!delimiter.hidesBranches) {
                countBranchesWithin(segment, p_);
            }
            if (closed || p_ >= limit_) {
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
                                     : startsWith(delimiter.close) &&
                                           !(scanner_.backslash_ == Backslash::MarkupText && followsBackslash(p_))) {
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
        while (p_ < limit_) {
            if (closesOrNestsWithin(comment, lineEnd())) {
                return;
            }
            // Short of the window's limit, reading stopped on the line break.
            if (p_ < limit_) {
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

    // The first `byte` in [from, to), or `to`; a marker read past the window's limit leaves
    // nothing to look through.
    static const char* find(const char* from, const char* to, char byte) {
        const void* found = from < to ? std::memchr(from, byte, static_cast<std::size_t>(to - from)) : nullptr;
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

    // Where the pointers into the kept bytes fall in the next window, from its start.
    struct Carried {
        std::size_t p = 0;
        std::size_t lineStart = 0;
        std::size_t prefixChecked = 0;
    };

    const SourceScanner& scanner_;
    // The window: its first byte (the file's first, or the one kept before p_), its end, and
    // where reading stops in it.
    const char* front_ = nullptr;
    const char* end_ = nullptr;
    const char* limit_ = nullptr;
    const char* p_ = nullptr;
    const char* lineStart_ = nullptr;
    const char* lineEnd_ = nullptr;
    // How far the current line is known to hold only blanks and string prefixes.
    const char* prefixChecked_ = nullptr;
    Carried carried_;
    bool started_ = false;
    // An odd run of backslashes ends right before the window.
    bool oddBackslashesBefore_ = false;
    bool onlyPrefix_ = true;
    Mode mode_ = Mode::Code;
    std::uint8_t active_ = 0;
    std::size_t depth_ = 0;
    bool docstring_ = false;
    bool continued_ = false;
    bool branchesOff_ = false;
    std::string tag_;
    bool lineCode_ = false;
    bool lineComment_ = false;
    FileCounts counts_;
};

FileCounts SourceScanner::scan(std::string_view text) const {
    Run run(*this);
    run.feed(text, true);
    return run.counts();
}

FileCounts SourceScanner::scan(std::string_view first, TextSource& rest) const {
    Pass pass(*this, true);
    pass.scan(first, rest);
    return pass.counts();
}

SourceScanner::Pass::Pass(const SourceScanner& scanner, bool atTextStart) : run_(std::make_unique<Run>(scanner)) {
    if (!atTextStart) {
        run_->startPiece();
    }
}

SourceScanner::Pass::~Pass() = default;

void SourceScanner::Pass::scan(std::string_view first, TextSource& rest) {
    std::string_view window = first;
    while (!rest.atEnd()) {
        const std::size_t done = run_->feed(window, false);
        window = rest.next(window.size() - done);
    }
    run_->feed(window, true);
    run_->startPiece();
}

const FileCounts& SourceScanner::Pass::counts() const { return run_->counts(); }

bool SourceScanner::Pass::endsInCode() const { return run_->inCode(); }

} // namespace norvane::counter
