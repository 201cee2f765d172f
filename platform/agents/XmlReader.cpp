#include "platform/agents/XmlReader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include <unicode/utf8.h>

namespace norvane::platform {
namespace {

// Deeper nesting than any property list needs; stops hostile input from exhausting the stack.
constexpr std::size_t maximumDepth = 256;

bool isXmlWhitespace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isXmlCharacter(std::int32_t codePoint) {
    if (codePoint < 0x20) {
        return codePoint == 0x9 || codePoint == 0xA || codePoint == 0xD;
    }
    return codePoint != 0xFFFE && codePoint != 0xFFFF && codePoint <= 0x10FFFF;
}

bool isNameStart(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || byte >= 0x80;
}

bool isNameCharacter(char c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

// Answers the offset of the first byte that is not valid UTF-8 or not an XML character.
std::size_t findInvalidCharacter(std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t index = 0;
    while (index < length) {
        const std::int32_t start = index;
        UChar32 codePoint = 0;
        U8_NEXT(bytes, index, length, codePoint);
        if (codePoint < 0 || !isXmlCharacter(codePoint)) {
            return static_cast<std::size_t>(start);
        }
    }
    return text.size();
}

// The code point has been checked to be an XML character.
void appendUtf8(std::string& out, std::uint32_t codePoint) {
    std::uint8_t buffer[U8_MAX_LENGTH];
    std::int32_t length = 0;
    U8_APPEND_UNSAFE(buffer, length, codePoint);
    out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
}

} // namespace

XmlElement XmlReader::parseDocument(std::string_view document) {
    if (document.size() > static_cast<std::size_t>(INT32_MAX)) {
        throw XmlError("document too large");
    }
    return XmlReader(document).readDocument();
}

XmlElement XmlReader::readDocument() {
    if (const auto invalid = findInvalidCharacter(input_); invalid != input_.size()) {
        position_ = invalid;
        fail("invalid character");
    }
    if (startsWith("\xEF\xBB\xBF")) {
        position_ += 3;
    }
    if (startsWith("<?xml") && position_ + 5 < input_.size() && isXmlWhitespace(input_[position_ + 5])) {
        skipXmlDeclaration();
    }
    skipMisc(true);
    if (atEnd() || peek() != '<') {
        fail("expected the root element");
    }
    XmlElement root = readElement(0);
    skipMisc(false);
    if (!atEnd()) {
        fail("unexpected content after the root element");
    }
    return root;
}

void XmlReader::skipMisc(bool allowDoctype) {
    while (true) {
        skipWhitespace();
        if (startsWith("<!--")) {
            skipComment();
        } else if (startsWith("<?")) {
            skipProcessingInstruction();
        } else if (startsWith("<!DOCTYPE")) {
            if (!allowDoctype) {
                fail("misplaced document type declaration");
            }
            skipDoctype();
            allowDoctype = false;
        } else {
            return;
        }
    }
}

void XmlReader::skipXmlDeclaration() {
    const auto end = input_.find("?>", position_);
    if (end == std::string_view::npos) {
        fail("unterminated XML declaration");
    }
    position_ = end + 2;
}

void XmlReader::skipDoctype() {
    expect("<!DOCTYPE");
    if (!skipWhitespace()) {
        fail("expected white space after DOCTYPE");
    }
    readName();
    while (true) {
        skipWhitespace();
        if (atEnd()) {
            fail("unterminated document type declaration");
        }
        if (peek() == '>') {
            ++position_;
            return;
        }
        if (peek() == '[') {
            fail("internal DTD subsets are not supported");
        }
        if (peek() == '"' || peek() == '\'') {
            skipQuotedLiteral();
        } else {
            readName();
        }
    }
}

void XmlReader::skipQuotedLiteral() {
    const char quote = peek();
    const auto end = input_.find(quote, position_ + 1);
    if (end == std::string_view::npos) {
        fail("unterminated literal");
    }
    position_ = end + 1;
}

void XmlReader::skipComment() {
    expect("<!--");
    const auto end = input_.find("--", position_);
    if (end == std::string_view::npos) {
        fail("unterminated comment");
    }
    position_ = end;
    expect("-->");
}

void XmlReader::skipProcessingInstruction() {
    expect("<?");
    const std::string target = readName();
    if (target.size() == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' && (target[2] | 0x20) == 'l') {
        fail("misplaced XML declaration");
    }
    const auto end = input_.find("?>", position_);
    if (end == std::string_view::npos) {
        fail("unterminated processing instruction");
    }
    position_ = end + 2;
}

XmlElement XmlReader::readElement(std::size_t depth) {
    if (depth >= maximumDepth) {
        fail("elements nested too deeply");
    }
    XmlElement element;
    bool selfClosing = false;
    readStartTag(element, selfClosing);
    if (!selfClosing) {
        readContent(element, depth);
        readEndTag(element);
    }
    return element;
}

void XmlReader::readStartTag(XmlElement& element, bool& selfClosing) {
    expect("<");
    element.name = readName();
    while (true) {
        const bool separated = skipWhitespace();
        if (startsWith("/>")) {
            position_ += 2;
            selfClosing = true;
            return;
        }
        if (startsWith(">")) {
            ++position_;
            return;
        }
        if (!separated) {
            fail("expected white space before an attribute");
        }
        std::string name = readName();
        skipWhitespace();
        expect("=");
        skipWhitespace();
        const bool duplicate = std::any_of(element.attributes.begin(), element.attributes.end(),
                                           [&](const auto& attribute) { return attribute.first == name; });
        if (duplicate) {
            fail("duplicate attribute " + name);
        }
        element.attributes.emplace_back(std::move(name), readAttributeValue());
    }
}

std::string XmlReader::readAttributeValue() {
    if (atEnd() || (peek() != '"' && peek() != '\'')) {
        fail("expected a quoted attribute value");
    }
    const char quote = input_[position_++];
    std::string value;
    while (!atEnd() && peek() != quote) {
        if (peek() == '<') {
            fail("'<' in an attribute value");
        }
        if (peek() == '&') {
            value += readReference();
        } else {
            value += input_[position_++];
        }
    }
    if (atEnd()) {
        fail("unterminated attribute value");
    }
    ++position_;
    return value;
}

void XmlReader::readContent(XmlElement& element, std::size_t depth) {
    while (true) {
        if (atEnd()) {
            fail("missing end tag of " + element.name);
        }
        if (startsWith("</")) {
            return;
        }
        if (startsWith("<!--")) {
            skipComment();
        } else if (startsWith("<![CDATA[")) {
            position_ += 9;
            const auto end = input_.find("]]>", position_);
            if (end == std::string_view::npos) {
                fail("unterminated CDATA section");
            }
            element.text.append(input_.substr(position_, end - position_));
            position_ = end + 3;
        } else if (startsWith("<?")) {
            skipProcessingInstruction();
        } else if (peek() == '<') {
            element.children.push_back(readElement(depth + 1));
        } else if (peek() == '&') {
            element.text += readReference();
        } else if (startsWith("]]>")) {
            fail("']]>' in character data");
        } else {
            element.text += input_[position_++];
        }
    }
}

void XmlReader::readEndTag(const XmlElement& element) {
    expect("</");
    if (readName() != element.name) {
        fail("end tag does not match " + element.name);
    }
    skipWhitespace();
    expect(">");
}

std::string XmlReader::readReference() {
    expect("&");
    const auto end = input_.find(';', position_);
    if (end == std::string_view::npos || end - position_ > 10) {
        fail("unterminated entity reference");
    }
    const std::string_view name = input_.substr(position_, end - position_);
    position_ = end + 1;
    if (name == "amp") return "&";
    if (name == "lt") return "<";
    if (name == "gt") return ">";
    if (name == "quot") return "\"";
    if (name == "apos") return "'";
    if (!name.starts_with('#')) {
        fail("unknown entity &" + std::string(name) + ";");
    }
    const bool hexadecimal = name.starts_with("#x");
    const std::string_view digits = name.substr(hexadecimal ? 2 : 1);
    std::uint32_t codePoint = 0;
    const auto [last, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), codePoint, hexadecimal ? 16 : 10);
    if (digits.empty() || error != std::errc() || last != digits.data() + digits.size() || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF) || !isXmlCharacter(static_cast<std::int32_t>(codePoint))) {
        fail("invalid character reference &" + std::string(name) + ";");
    }
    std::string character;
    appendUtf8(character, codePoint);
    return character;
}

std::string XmlReader::readName() {
    if (atEnd() || !isNameStart(peek())) {
        fail("expected a name");
    }
    const std::size_t start = position_;
    while (!atEnd() && isNameCharacter(peek())) {
        ++position_;
    }
    return std::string(input_.substr(start, position_ - start));
}

void XmlReader::expect(std::string_view token) {
    if (!startsWith(token)) {
        fail("expected '" + std::string(token) + "'");
    }
    position_ += token.size();
}

bool XmlReader::skipWhitespace() {
    const std::size_t start = position_;
    while (!atEnd() && isXmlWhitespace(peek())) {
        ++position_;
    }
    return position_ != start;
}

void XmlReader::fail(const std::string& message) const {
    const auto consumed = input_.substr(0, std::min(position_, input_.size()));
    const auto line = std::count(consumed.begin(), consumed.end(), '\n') + 1;
    throw XmlError("line " + std::to_string(line) + ": " + message);
}

} // namespace norvane::platform
