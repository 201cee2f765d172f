#include "platform/agents/PropertyListReader.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace norvane::platform {
namespace {

bool isBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
}

void requireNoChildren(const XmlElement& element) {
    if (!element.children.empty()) {
        throw PropertyListError("<" + element.name + "> cannot hold elements");
    }
}

void requireOnlyElements(const XmlElement& element) {
    if (!isBlank(element.text)) {
        throw PropertyListError("<" + element.name + "> cannot hold text");
    }
}

} // namespace

PropertyListValue PropertyListReader::read(std::string_view document) {
    XmlElement root;
    try {
        root = XmlReader::parseDocument(document);
    } catch (const XmlError& error) {
        throw PropertyListError(error.what());
    }
    if (root.name != "plist") {
        throw PropertyListError("the root element is not <plist>");
    }
    requireOnlyElements(root);
    if (root.children.size() != 1) {
        throw PropertyListError("<plist> must hold exactly one value");
    }
    return readValue(root.children.front());
}

PropertyListValue PropertyListReader::readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw PropertyListError(path.string() + ": " + std::strerror(errno));
    }
    const std::string document((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw PropertyListError(path.string() + ": cannot be read");
    }
    try {
        return read(document);
    } catch (const PropertyListError& error) {
        throw PropertyListError(path.string() + ": " + error.what());
    }
}

PropertyListValue PropertyListReader::readValue(const XmlElement& element) {
    if (!element.attributes.empty()) {
        throw PropertyListError("<" + element.name + "> cannot have attributes");
    }
    if (element.name == "dict") {
        return readDictionary(element);
    }
    if (element.name == "array") {
        return readArray(element);
    }
    if (element.name == "integer") {
        return readInteger(element);
    }
    requireNoChildren(element);
    if (element.name == "string") {
        return PropertyListValue(element.text);
    }
    if (element.name == "true" || element.name == "false") {
        requireOnlyElements(element);
        return PropertyListValue(element.name == "true");
    }
    throw PropertyListError("unsupported element <" + element.name + ">");
}

PropertyListValue PropertyListReader::readDictionary(const XmlElement& element) {
    requireOnlyElements(element);
    PropertyListValue::Dictionary entries;
    const auto& children = element.children;
    for (std::size_t index = 0; index < children.size(); index += 2) {
        const XmlElement& key = children[index];
        if (key.name != "key" || !key.attributes.empty()) {
            throw PropertyListError("expected <key> in <dict>, found <" + key.name + ">");
        }
        requireNoChildren(key);
        if (index + 1 == children.size()) {
            throw PropertyListError("key " + key.text + " has no value");
        }
        const bool duplicate =
            std::any_of(entries.begin(), entries.end(), [&](const auto& entry) { return entry.first == key.text; });
        if (duplicate) {
            throw PropertyListError("duplicate key " + key.text);
        }
        entries.emplace_back(key.text, readValue(children[index + 1]));
    }
    return PropertyListValue(std::move(entries));
}

PropertyListValue PropertyListReader::readArray(const XmlElement& element) {
    requireOnlyElements(element);
    PropertyListValue::Array items;
    items.reserve(element.children.size());
    for (const auto& child : element.children) {
        items.push_back(readValue(child));
    }
    return PropertyListValue(std::move(items));
}

PropertyListValue PropertyListReader::readInteger(const XmlElement& element) {
    requireNoChildren(element);
    const std::string& text = element.text;
    // from_chars takes no plus sign, which property lists allow.
    const std::size_t start = text.starts_with('+') ? 1 : 0;
    std::int64_t value = 0;
    const auto [last, error] = std::from_chars(text.data() + start, text.data() + text.size(), value);
    const bool signedTwice = start == 1 && text.size() > 1 && text[1] == '-';
    if (text.size() == start || error != std::errc() || last != text.data() + text.size() || signedTwice) {
        throw PropertyListError("invalid integer '" + text + "'");
    }
    return PropertyListValue(value);
}

} // namespace norvane::platform
