#include "counter/Glob.h"

#include <algorithm>
#include <optional>
#include <string>

namespace norvane::counter {

namespace {

// The POSIX classes by git's own reading: ASCII only, whatever the locale.
std::optional<std::bitset<256>> namedClass(std::string_view name) {
    const auto members = [](auto isMember) {
        std::bitset<256> set;
        for (unsigned c = 0; c < 128; ++c) {
            set.set(c, isMember(c));
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

// Where a text goes on from after a star or a run of folders, once what followed did not match.
struct Resume {
    std::size_t pattern = std::string_view::npos;
    std::size_t text = 0;

    bool isSet() const { return pattern != std::string_view::npos; }
};

} // namespace

Glob::Glob(std::string_view pattern) {
    compile(pattern);
    measure();
}

void Glob::compile(std::string_view pattern) {
    for (std::size_t at = 0; at < pattern.size() && !matchesNothing_;) {
        const auto c = static_cast<unsigned char>(pattern[at]);
        switch (c) {
        case '*': at = compileStars(pattern, at); break;
        case '?':
            tokens_.push_back({Kind::AnyByte});
            ++at;
            break;
        case '[': at = compileClass(pattern, at); break;
        case '\\':
            // A backslash at the end escapes nothing, and git then matches nothing.
            if (at + 1 == pattern.size()) {
                matchesNothing_ = true;
                break;
            }
            tokens_.push_back({Kind::Byte, static_cast<unsigned char>(pattern[at + 1])});
            at += 2;
            break;
        default: tokens_.push_back({Kind::Byte, c}); ++at;
        }
    }
}

// Two stars or more that stand alone between slashes, or at either end, cross folders; any other
// run of stars is one star. git compares the bytes before the first wildcard on their own and
// matches the rest from there, so a run that begins the wildcards begins a part for it ("x**/y"
// is "x" then "**/y").
std::size_t Glob::compileStars(std::string_view pattern, std::size_t at) {
    std::size_t end = at;
    while (end < pattern.size() && pattern[end] == '*') {
        ++end;
    }
    const bool startsPart = at == 0 || pattern[at - 1] == '/' || at == pattern.find_first_of("*?[\\");
    const bool alone = end - at >= 2 && startsPart;
    const std::string_view after = pattern.substr(end);
    if (alone && after.empty()) {
        tokens_.push_back({Kind::Rest});
        return end;
    }
    if (alone && after.starts_with('/')) {
        tokens_.push_back({Kind::Folders});
        return end + 1;
    }
    if (alone && after.starts_with("\\/")) {
        tokens_.push_back({Kind::SomeFolders});
        return end + 2;
    }
    tokens_.push_back({Kind::Star});
    return end;
}

// Reads a class as git does: "]" first in the class is a member, "a-" before "]" is two members,
// "[:name:]" names a POSIX class, and a "[:" without ":]" is an ordinary "[". A class that is not
// closed or names no known class makes the pattern match nothing.
std::size_t Glob::compileClass(std::string_view pattern, std::size_t at) {
    const auto byteAt = [&](std::size_t index) {
        return index < pattern.size() ? static_cast<unsigned char>(pattern[index]) : '\0';
    };
    const auto fail = [&] {
        matchesNothing_ = true;
        return pattern.size();
    };
    std::bitset<256> members;
    std::size_t p = at + 1;
    const bool negated = byteAt(p) == '!' || byteAt(p) == '^';
    if (negated) {
        ++p;
    }
    unsigned char previous = 0;
    for (bool first = true; first || byteAt(p) != ']'; first = false) {
        if (p >= pattern.size()) {
            return fail();
        }
        unsigned char c = byteAt(p);
        if (c == '\\') {
            if (++p >= pattern.size()) {
                return fail();
            }
            c = byteAt(p);
            members.set(c);
        } else if (c == '-' && previous != 0 && p + 1 < pattern.size() && byteAt(p + 1) != ']') {
            c = byteAt(++p);
            if (c == '\\') {
                if (++p >= pattern.size()) {
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
            const std::size_t close = pattern.find(']', nameStart);
            if (close == std::string_view::npos) {
                return fail();
            }
            if (close == nameStart || pattern[close - 1] != ':') {
                members.set('[');
            } else {
                const auto named = namedClass(pattern.substr(nameStart, close - 1 - nameStart));
                if (!named) {
                    return fail();
                }
                members |= *named;
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
    tokens_.push_back({Kind::Class, 0, static_cast<std::uint32_t>(classes_.size())});
    classes_.push_back(members);
    return p + 1;
}

void Glob::measure() {
    shortest_.assign(tokens_.size() + 1, 0);
    anchoredRun_.assign(tokens_.size() + 1, 0);
    for (std::size_t index = tokens_.size(); index-- > 0;) {
        const Token& token = tokens_[index];
        const bool empty = token.kind == Kind::Star || token.kind == Kind::Folders || token.kind == Kind::Rest;
        shortest_[index] = shortest_[index + 1] + (empty ? 0 : 1);
        const bool oneByte = token.kind == Kind::Byte || token.kind == Kind::AnyByte || token.kind == Kind::Class;
        if (token.kind == Kind::Byte && token.byte == '/') {
            anchoredRun_[index] = 0;
        } else if (oneByte && anchoredRun_[index + 1] != kUnanchored) {
            anchoredRun_[index] = anchoredRun_[index + 1] + 1;
        } else {
            anchoredRun_[index] = kUnanchored;
        }
    }
}

bool Glob::matchesByte(const Token& token, unsigned char c) const {
    switch (token.kind) {
    case Kind::Byte: return c == token.byte;
    case Kind::AnyByte: return c != '/';
    case Kind::Class: return classes_[token.classIndex].test(c);
    default: return false;
    }
}

// A star only grows within its path part, since nothing but a "/" of the pattern matches a "/":
// the latest star is the one place to come back to, dropped once a "/" has matched. When the rest
// of its part has one length, the star can only take what lies before that, and it is tried there
// alone. A run of folders keeps one place to come back to as well: the latest can take up any
// folders that an earlier one would have taken. A place is given up once less text is left than
// the rest of the pattern needs, so a long pattern costs nothing against a short name.
bool Glob::matches(std::string_view text) const {
    if (matchesNothing_ || text.size() < shortest_.front()) {
        return false;
    }
    const auto fits = [&](const Resume& place) { return text.size() - place.text >= shortest_[place.pattern]; };
    std::size_t p = 0;
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
        if (p == tokens_.size()) {
            if (t == text.size()) {
                return true;
            }
        } else {
            const Token& token = tokens_[p];
            switch (token.kind) {
            case Kind::Rest: return true;
            case Kind::Star: {
                const std::size_t run = anchoredRun_[++p];
                if (run == kUnanchored) {
                    star = {p, t};
                    continue;
                }
                star = {};
                const std::size_t partEnd = std::min(text.find('/', t), text.size());
                if (partEnd - t >= run) {
                    t = partEnd - run;
                    continue;
                }
                break;
            }
            case Kind::Folders:
                folders = {++p, t};
                star = {};
                continue;
            case Kind::SomeFolders:
                folders = {++p, t}; // the first "/" is yet to be found
                star = {};
                break;
            default:
                if (t < text.size() && matchesByte(token, static_cast<unsigned char>(text[t]))) {
                    if (text[t] == '/') {
                        star = {};
                    }
                    ++p;
                    ++t;
                    continue;
                }
            }
        }
        if (!backtrack()) {
            return false;
        }
    }
}

} // namespace norvane::counter
