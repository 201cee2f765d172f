#include "counter/IgnorePattern.h"

#include <algorithm>
#include <cstring>

namespace norvane::counter {

namespace {

constexpr std::uint8_t kNegated = 1;
constexpr std::uint8_t kFolderOnly = 2;
constexpr std::uint8_t kAnchored = 4;
constexpr std::uint8_t kGlob = 8;

// Trailing blanks go, as git trims them: all but those after a backslash, which escapes one byte.
std::string_view trimTrailingSpaces(std::string_view line) {
    std::size_t kept = 0;
    for (std::size_t index = 0; index < line.size(); ++index) {
        if (line[index] == '\\') {
            kept = std::min(index + 2, line.size());
            ++index;
        } else if (line[index] != ' ') {
            kept = index + 1;
        }
    }
    return line.substr(0, kept);
}

bool holdsSlash(std::string_view line) { return std::find(line.begin(), line.end(), '/') != line.end(); }

bool holdsWildcard(std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char c) { return c == '*' || c == '?' || c == '[' || c == '\\'; });
}

// The flags, then the body's length in seven-bit groups.
std::size_t headerLength(std::size_t body) {
    std::size_t length = 2;
    for (; body >= 0x80; body >>= 7) ++length;
    return length;
}

std::size_t readBodyLength(const unsigned char* record, std::size_t& header) {
    std::size_t length = 0;
    header = 1;
    for (unsigned shift = 0;; shift += 7) {
        const unsigned char byte = record[header++];
        length |= static_cast<std::size_t>(byte & 0x7f) << shift;
        if ((byte & 0x80) == 0) return length;
    }
}

} // namespace

std::optional<IgnorePattern> IgnorePattern::parse(std::string_view line) {
    const auto read = layout(line);
    if (!read) {
        return std::nullopt;
    }
    std::string record(read->length, '\0');
    write(*read, record.data());
    return IgnorePattern(std::move(record));
}

bool IgnorePattern::matches(std::string_view relativePath, bool isFolder) const {
    const auto slash = relativePath.rfind('/');
    const auto lastPart = slash == std::string_view::npos ? relativePath : relativePath.substr(slash + 1);
    return matches(record_.data(), relativePath, lastPart, isFolder);
}

std::optional<IgnorePattern::Layout> IgnorePattern::layout(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    // git reads each line as a C string, so a NUL ends the pattern.
    line = line.substr(0, line.find('\0'));
    if (line.empty() || line.front() == '#') {
        return std::nullopt;
    }
    line = trimTrailingSpaces(line);
    Layout read;
    if (line.starts_with('!')) {
        read.flags |= kNegated;
        line.remove_prefix(1);
    }
    if (line.ends_with('/')) {
        read.flags |= kFolderOnly;
        line.remove_suffix(1);
    }
    if (holdsSlash(line)) {
        read.flags |= kAnchored;
    }
    if (line.starts_with('/')) {
        line.remove_prefix(1);
    }
    if (line.empty()) {
        return std::nullopt;
    }
    read.pattern = line;
    read.body = line.size();
    if (holdsWildcard(line)) {
        read.flags |= kGlob;
        read.glob = Glob::measure(line);
        // A glob that can match nothing changes nothing, negated or not.
        if (!read.glob) {
            return std::nullopt;
        }
        read.body = read.glob->length;
    }
    read.length = headerLength(read.body) + read.body;
    return read;
}

void IgnorePattern::write(const Layout& layout, char* out) {
    auto* bytes = reinterpret_cast<unsigned char*>(out);
    const std::size_t header = headerLength(layout.body);
    bytes[0] = layout.flags;
    std::size_t rest = layout.body;
    for (std::size_t index = 1; index < header; ++index, rest >>= 7) {
        bytes[index] = static_cast<unsigned char>((rest & 0x7f) | (index + 1 < header ? 0x80 : 0));
    }
    if (layout.glob) {
        Glob::compile(layout.pattern, *layout.glob, out + header);
    } else {
        std::memcpy(out + header, layout.pattern.data(), layout.body);
    }
}

std::size_t IgnorePattern::lengthOf(const char* record) {
    std::size_t header = 0;
    const std::size_t body = readBodyLength(reinterpret_cast<const unsigned char*>(record), header);
    return header + body;
}

bool IgnorePattern::matches(const char* record, std::string_view relativePath, std::string_view lastPart,
                            bool isFolder) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(record);
    const std::uint8_t flags = bytes[0];
    if ((flags & kFolderOnly) != 0 && !isFolder) {
        return false;
    }
    std::size_t header = 0;
    const std::size_t body = readBodyLength(bytes, header);
    const std::string_view code(record + header, body);
    // Without a "/" the pattern names an entry at any depth, so only the last part is compared.
    const std::string_view subject = (flags & kAnchored) != 0 ? relativePath : lastPart;
    return (flags & kGlob) != 0 ? Glob::matches(code, subject) : subject == code;
}

bool IgnorePattern::negated(const char* record) { return (static_cast<unsigned char>(record[0]) & kNegated) != 0; }

} // namespace norvane::counter
