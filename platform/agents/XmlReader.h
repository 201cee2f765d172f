#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace norvane::platform {

/// One element of a parsed document. `text` is the character data directly inside the element
/// (entities and character references resolved, CDATA sections included), in document order.
struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<XmlElement> children;
    std::string text;
};

/// A document that is not well-formed, or that uses markup this reader does not support.
class XmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A strict, non-validating reader for small UTF-8 documents such as property lists. It checks
/// well-formedness (matching tags, quoted attributes, known entities, one root element) and
/// rejects what it cannot honour faithfully: internal DTD subsets and their custom entities.
class XmlReader {
public:
    /// Parses a whole document and answers its root element; throws `XmlError` with the line.
    static XmlElement parseDocument(std::string_view document);

private:
    explicit XmlReader(std::string_view document) : input_(document) {}

    XmlElement readDocument();
    void skipMisc(bool allowDoctype);
    void skipXmlDeclaration();
    void skipDoctype();
    void skipComment();
    void skipProcessingInstruction();
    XmlElement readElement(std::size_t depth);
    void readStartTag(XmlElement& element, bool& selfClosing);
    void readContent(XmlElement& element, std::size_t depth);
    void readEndTag(const XmlElement& element);
    std::string readAttributeValue();
    std::string readReference();
    std::string readName();
    void skipQuotedLiteral();

    bool atEnd() const { return position_ >= input_.size(); }
    bool startsWith(std::string_view prefix) const { return input_.substr(position_).starts_with(prefix); }
    char peek() const { return input_[position_]; }
    void expect(std::string_view token);
    bool skipWhitespace();
    [[noreturn]] void fail(const std::string& message) const;

    std::string_view input_;
    std::size_t position_ = 0;
};

} // namespace norvane::platform
