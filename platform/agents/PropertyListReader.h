#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

#include "platform/agents/PropertyListValue.h"
#include "platform/agents/XmlReader.h"

namespace norvane::platform {

/// A document that is not a property list of the supported kinds.
class PropertyListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Reads XML property lists made of dict, key, string, integer, array, true and false.
class PropertyListReader {
public:
    /// Parses the text of a property list; throws `PropertyListError` (also for malformed XML).
    static PropertyListValue read(std::string_view document);
    /// Reads and parses a file; throws `PropertyListError`, naming the reason it cannot be read.
    static PropertyListValue readFile(const std::filesystem::path& path);

private:
    static PropertyListValue readValue(const XmlElement& element);
    static PropertyListValue readDictionary(const XmlElement& element);
    static PropertyListValue readArray(const XmlElement& element);
    static PropertyListValue readInteger(const XmlElement& element);
};

} // namespace norvane::platform
