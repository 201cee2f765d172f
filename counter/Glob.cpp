#include "counter/Glob.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace norvane::counter {

namespace {

/// The bytes of a class, one bit each.
class ByteSet {
public:
    static constexpr std::size_t kLength = 32;

    void set(unsigned c) { bits_[c >> 3] |= static_cast<unsigned char>(1U << (c & 7)); }
    void reset(unsigned c) { bits_[c >> 3] &= static_cast<unsigned char>(~(1U << (c & 7))); }
    void flip() {
        for (auto& bits : bits_) bits = static_cast<unsigned char>(~bits);
    }
    void merge(const ByteSet& other) {
        for (std::size_t index = 0; index < kLength; ++index) bits_[index] |= other.bits_[index];
    }
    const unsigned char* data() const { return bits_.data(); }

    static bool contains(const char* bits, unsigned char c) {
        return (static_cast<unsigned char>(bits[c >> 3]) >> (c & 7) & 1U) != 0;
    }

private:
    std::array<unsigned char, kLength> bits_{};
};

// The POSIX classes by git's own reading: ASCII only, whatever the locale.
std::optional<ByteSet> namedClass(std::string_view name) {
    const auto members = [](auto isMember) {
        ByteSet set;
        for (unsigned c = 0; c < 128; ++c) {
            if (isMember(c)) set.set(c);
        }
        return set;
    };
    const auto upper = [](unsigned c) { return c >= 'A' && c <= 'Z'; };
    const auto lower = [](unsigned c) { return c >= 'a' && c <= 'z'; };
    const auto digit = [](unsigned c) { return c >= '0' && c <= '9'; };
    const auto graph = [](unsigned c) { return c >= 0x21 && c <= 0x7e; };
    if (name == "alnum") return members([&](unsigned c) { return upper(c) || lower(c) || digit(c); });
    if (name == "alpha") return members([&](unsigned c) { return upper(c) || lower(c); });
    if (name == "blank") return members([](unsigned c) { return c == ' ' || c == '\t'; });
    if (name == "cntrl") return members([](unsigned c) { return c < 0x20 || c == 0x7f; });
    if (name == "digit") return members(digit);
    if (name == "graph") return members(graph);
    if (name == "lower") return members(lower);
    if (name == "print") return members([&](unsigned c) { return graph(c) || c == ' '; });
    if (name == "punct") return members([&](unsigned c) { return graph(c) && !upper(c) && !lower(c) && !digit(c); });
    if (name == "space") return members([](unsigned c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
    if (name == "upper") return members(upper);
    if (name == "xdigit")
        return members([&](unsigned c) { return digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); });
    return std::nullopt;
}

enum class Kind : std::uint8_t {
    /// Bytes that stand for themselves.
    Bytes,
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
    Kind kind = Kind::Bytes;
    std::string_view bytes;
    ByteSet members;
};

bool hasOneLength(const Token& token) {
    return token.kind == Kind::Bytes || token.kind == Kind::AnyByte || token.kind == Kind::Class;
}

// The fewest bytes of text a token matches.
std::size_t widthOf(const Token& token) {
    return token.kind == Kind::Bytes ? token.bytes.size() : hasOneLength(token) || token.kind == Kind::SomeFolders;
}

bool isWildcard(char c) { return c == '*' || c == '?' || c == '[' || c == '\\'; }

std::size_t findWildcard(std::string_view pattern, std::size_t from) {
    while (from < pattern.size() && !isWildcard(pattern[from])) {
        ++from;
    }
    return from;
}

/// Reads a pattern token by token, as git reads it.
class PatternReader {
public:
    explicit PatternReader(std::string_view pattern) : pattern_(pattern), firstWildcard_(findWildcard(pattern, 0)) {}

    /// False at the end, or where the pattern turns out to match nothing (then `failed()`).
    bool next(Token& token) {
        if (failed_ || at_ >= pattern_.size()) {
            return false;
        }
        const auto c = static_cast<unsigned char>(pattern_[at_]);
        switch (c) {
        case '*': readStars(token); return true;
        case '?':
            token.kind = Kind::AnyByte;
            ++at_;
            return true;
        case '[': return readClass(token);
        case '\\':
            // A backslash at the end escapes nothing, and git then matches nothing.
            if (at_ + 1 == pattern_.size()) {
                return fail();
            }
            token.kind = Kind::Bytes;
            token.bytes = pattern_.substr(at_ + 1, 1);
            at_ += 2;
            return true;
        default: {
            const std::size_t end = findWildcard(pattern_, at_);
            token.kind = Kind::Bytes;
            token.bytes = pattern_.substr(at_, end - at_);
            at_ = end;
            return true;
        }
        }
    }

    bool failed() const { return failed_; }

private:
    bool fail() {
        failed_ = true;
        return false;
    }

    unsigned char byteAt(std::size_t index) const {
        return index < pattern_.size() ? static_cast<unsigned char>(pattern_[index]) : '\0';
    }

    // Two stars or more that stand alone between slashes, or at either end, cross folders; any other
    // run of stars is one star. git compares the bytes before the first wildcard on their own and
    // matches the rest from there, so a run that begins the wildcards begins a part for it ("x**/y"
    // is "x" then "**/y").
    void readStars(Token& token) {
        std::size_t end = at_;
        while (end < pattern_.size() && pattern_[end] == '*') {
            ++end;
        }
        const bool startsPart = at_ == 0 || pattern_[at_ - 1] == '/' || at_ == firstWildcard_;
        const bool alone = end - at_ >= 2 && startsPart;
        const std::string_view after = pattern_.substr(end);
        at_ = end;
        token.kind = Kind::Star;
        if (alone && after.empty()) {
            token.kind = Kind::Rest;
        } else if (alone && after.starts_with('/')) {
            token.kind = Kind::Folders;
            at_ += 1;
        } else if (alone && after.starts_with("\\/")) {
            token.kind = Kind::SomeFolders;
            at_ += 2;
        }
    }

    // Reads a class as git does: "]" first in the class is a member, "a-" before "]" is two members,
    // "[:name:]" names a POSIX class, and a "[:" without ":]" is an ordinary "[". A class that is not
    // closed or names no known class makes the pattern match nothing.
    bool readClass(Token& token) {
        ByteSet members;
        std::size_t p = at_ + 1;
        const bool negated = byteAt(p) == '!' || byteAt(p) == '^';
        if (negated) {
            ++p;
        }
        unsigned char previous = 0;
        for (bool first = true; first || byteAt(p) != ']'; first = false) {
            if (p >= pattern_.size()) {
                return fail();
            }
            unsigned char c = byteAt(p);
            if (c == '\\') {
                if (++p >= pattern_.size()) {
                    return fail();
                }
                c = byteAt(p);
                members.set(c);
            } else if (c == '-' && previous != 0 && p + 1 < pattern_.size() && byteAt(p + 1) != ']') {
                c = byteAt(++p);
                if (c == '\\') {
                    if (++p >= pattern_.size()) {
                        return fail();
                    }
                    c = byteAt(p);
                }
                for (unsigned member = previous; member <= c; ++member) {
                    members.set(member);
                }
                c = 0;
            } else if (c == '[' && byteAt(p + 1) == ':') {
                const std::size_t nameStart = p + 2;
                const std::size_t close = pattern_.find(']', nameStart);
                if (close == std::string_view::npos) {
                    return fail();
                }
                if (close == nameStart || pattern_[close - 1] != ':') {
                    members.set('[');
                } else {
                    const auto named = namedClass(pattern_.substr(nameStart, close - 1 - nameStart));
                    if (!named) {
                        return fail();
                    }
                    members.merge(*named);
                    p = close;
                    c = 0;
                }
            } else {
                members.set(c);
            }
            previous = c;
            ++p;
        }
        if (negated) {
            members.flip();
        }
        // No class matches the "/" between path parts.
        members.reset('/');
        token.kind = Kind::Class;
        token.members = members;
        at_ = p + 1;
        return true;
    }

    std::string_view pattern_;
    std::size_t at_ = 0;
    std::size_t firstWildcard_;
    bool failed_ = false;
};

// What follows the NUL that marks a wildcard in a compiled pattern.
enum Code : unsigned char {
    kAnyByte = 1,
    kClass,
    /// A star followed by a fixed length to the end of its part: then that length.
    kFixedStar,
    /// Any other star, then the fewest bytes the pattern before it matches; so too for folders.
    kStar,
    kFolders,
    kSomeFolders,
    kRest,
};

std::size_t readNumber(std::string_view code, std::size_t& at) {
    std::size_t value = 0;
    for (unsigned shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(code[at++]);
        value |= static_cast<std::size_t>(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0) return value;
    }
}

/// Measures what it is given, or writes it.
class CodeWriter {
public:
    explicit CodeWriter(char* out = nullptr) : out_(out) {}

    void byte(unsigned char value) {
        if (out_ != nullptr) out_[length_] = static_cast<char>(value);
        ++length_;
    }
    void number(std::size_t value) {
        for (; value >= 0x80; value >>= 7) byte(static_cast<unsigned char>(value | 0x80));
        byte(static_cast<unsigned char>(value));
    }
    void wildcard(Code code) {
        byte('\0');
        byte(code);
    }
    void set(const ByteSet& members) {
        for (std::size_t index = 0; index < ByteSet::kLength; ++index) byte(members.data()[index]);
    }
    std::size_t length() const { return length_; }

private:
    char* out_;
    std::size_t length_ = 0;
};

// How many bytes the tokens after a star match up to the end of their part, when that is one length.
std::optional<std::size_t> fixedRunAfter(PatternReader ahead) {
    Token token;
    std::size_t run = 0;
    while (ahead.next(token)) {
        if (!hasOneLength(token)) {
            return std::nullopt;
        }
        if (token.kind == Kind::Bytes) {
            if (const auto slash = token.bytes.find('/'); slash != std::string_view::npos) {
                return run + slash;
            }
        }
        run += widthOf(token);
    }
    return run;
}

// Gives the fewest bytes of text the pattern matches; none when it can match nothing.
std::optional<std::size_t> writeCode(std::string_view pattern, std::size_t shortest, CodeWriter& out) {
    out.number(shortest);
    PatternReader reader(pattern);
    Token token;
    std::size_t used = 0;
    while (reader.next(token)) {
        used += widthOf(token);
        switch (token.kind) {
        case Kind::Bytes:
            for (const char c : token.bytes) out.byte(static_cast<unsigned char>(c));
            break;
        case Kind::AnyByte: out.wildcard(kAnyByte); break;
        case Kind::Class:
            out.wildcard(kClass);
            out.set(token.members);
            break;
        case Kind::Star:
            if (const auto run = fixedRunAfter(reader)) {
                out.wildcard(kFixedStar);
                out.number(*run);
            } else {
                out.wildcard(kStar);
                out.number(used);
            }
            break;
        case Kind::Folders:
        case Kind::SomeFolders:
            out.wildcard(token.kind == Kind::Folders ? kFolders : kSomeFolders);
            out.number(used);
            break;
        case Kind::Rest: out.wildcard(kRest); break;
        }
    }
    return reader.failed() ? std::nullopt : std::optional(used);
}

// Where a text goes on from after a star or a run of folders, once what followed did not match:
// the place in the pattern and in the text, and the fewest bytes the pattern needs from there.
struct Resume {
    std::size_t pattern = std::string_view::npos;
    std::size_t text = 0;
    std::size_t need = 0;

    bool isSet() const { return pattern != std::string_view::npos; }
};

} // namespace

// The length of the number that leads the code is not known before the pattern has been read:
// it is measured with a stand-in and put right afterwards.
std::optional<Glob::Size> Glob::measure(std::string_view pattern) {
    CodeWriter measured;
    const auto shortest = writeCode(pattern, 0, measured);
    if (!shortest) {
        return std::nullopt;
    }
    CodeWriter number;
    number.number(*shortest);
    return Size{*shortest, measured.length() - 1 + number.length()};
}

void Glob::compile(std::string_view pattern, Size size, char* out) {
    CodeWriter writer(out);
    writeCode(pattern, size.shortest, writer);
}

// A star only grows within its path part, since nothing but a "/" of the pattern matches a "/":
// the latest star is the one place to come back to, dropped once a "/" has matched. When the rest
// of its part has one length, the star can only take what lies before that, and it is tried there
// alone. A run of folders keeps one place to come back to as well: the latest can take up any
// folders that an earlier one would have taken. A place is given up once less text is left than
// the rest of the pattern needs, so a long pattern costs nothing against a short name.
bool Glob::matches(std::string_view code, std::string_view text) {
    std::size_t p = 0;
    const std::size_t shortest = readNumber(code, p);
    if (text.size() < shortest) {
        return false;
    }
    const auto fits = [&](const Resume& place) { return text.size() - place.text >= place.need; };
    std::size_t t = 0;
    Resume star;
    Resume folders;
    // Goes back to the latest place that may take more of the text; false when none may.
    const auto backtrack = [&] {
        if (star.isSet() && star.text < text.size() && text[star.text] != '/' && (++star.text, fits(star))) {
            p = star.pattern;
            t = star.text;
            return true;
        }
        const auto slash = folders.isSet() ? text.find('/', folders.text) : std::string_view::npos;
        if (slash != std::string_view::npos && (folders.text = slash + 1, fits(folders))) {
            p = folders.pattern;
            t = folders.text;
            star = {};
            return true;
        }
        return false;
    };
    for (;;) {
        if (p == code.size()) {
            if (t == text.size()) {
                return true;
            }
        } else if (code[p] != '\0') {
            if (t < text.size() && text[t] == code[p]) {
                if (text[t] == '/') {
                    star = {};
                }
                ++p;
                ++t;
                continue;
            }
        } else {
            const auto kind = static_cast<unsigned char>(code[p + 1]);
            p += 2;
            switch (kind) {
            case kAnyByte:
                if (t < text.size() && text[t] != '/') {
                    ++t;
                    continue;
                }
                break;
            case kClass: {
                const char* members = code.data() + p;
                p += ByteSet::kLength;
                if (t < text.size() && ByteSet::contains(members, static_cast<unsigned char>(text[t]))) {
                    ++t;
                    continue;
                }
                break;
            }
            case kFixedStar: {
                const std::size_t run = readNumber(code, p);
                star = {};
                const std::size_t partEnd = std::min(text.find('/', t), text.size());
                if (partEnd - t >= run) {
                    t = partEnd - run;
                    continue;
                }
                break;
            }
            case kStar: {
                const std::size_t need = shortest - readNumber(code, p);
                star = {p, t, need};
                continue;
            }
            case kFolders:
            case kSomeFolders: {
                const std::size_t need = shortest - readNumber(code, p);
                folders = {p, t, need};
                star = {};
                if (kind == kFolders) {
                    continue;
                }
                break; // the first "/" is yet to be found
            }
            default: return true; // the rest
            }
        }
        if (!backtrack()) {
            return false;
        }
    }
}

} // namespace norvane::counter
