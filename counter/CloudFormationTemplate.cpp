#include "counter/CloudFormationTemplate.h"

#include <algorithm>

namespace norvane::counter {

namespace {

constexpr std::string_view kVersionKey = "AWSTemplateFormatVersion";
constexpr std::string_view kResourcesKey = "Resources";
constexpr std::string_view kTypeKey = "Type";
constexpr std::string_view kResourceTypeStart = "AWS::";
// What both the version key and every resource type begin with: a file without it is no template.
constexpr std::string_view kMark = "AWS";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view skipBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// "Key:" followed by a blank or the end of the line, and what follows it.
bool takeYamlKey(std::string_view& line, std::string_view key) {
    if (!line.starts_with(key) || line.substr(key.size(), 1) != ":") {
        return false;
    }
    const std::string_view rest = line.substr(key.size() + 1);
    if (!rest.empty() && !isBlank(rest.front()) && rest.front() != '#') {
        return false;
    }
    line = skipBlanks(rest);
    return true;
}

bool isResourceType(std::string_view value) {
    if (value.starts_with('"') || value.starts_with('\'')) {
        value.remove_prefix(1);
    }
    return value.starts_with(kResourceTypeStart);
}

/// Reads a JSON string whose opening quote is at `text[at]`; gives the position after its closing
/// quote, or the end when the start ends inside it.
std::size_t skipJsonString(std::string_view text, std::size_t at, std::string_view& contents) {
    std::size_t end = at + 1;
    while (end < text.size() && text[end] != '"') {
        end += text[end] == '\\' ? 2 : 1;
    }
    contents = text.substr(at + 1, std::min(end, text.size()) - at - 1);
    return std::min(end + 1, text.size());
}

} // namespace

bool looksLikeYamlTemplate(std::string_view start) {
    if (start.find(kMark) == std::string_view::npos) {
        return false;
    }
    bool inResources = false;
    while (!start.empty()) {
        const auto newline = start.find('\n');
        std::string_view line = start.substr(0, newline);
        start.remove_prefix(newline == std::string_view::npos ? start.size() : newline + 1);
        if (line.empty() || line.front() == '#' || skipBlanks(line).empty()) {
            continue;
        }
        if (!isBlank(line.front())) {
            // A key of the document itself, or a document marker, ends the resources.
            std::string_view key = line;
            if (takeYamlKey(key, kVersionKey)) {
                return true;
            }
            key = line;
            inResources = takeYamlKey(key, kResourcesKey);
            continue;
        }
        std::string_view value = skipBlanks(line);
        if (inResources && takeYamlKey(value, kTypeKey) && isResourceType(value)) {
            return true;
        }
    }
    return false;
}

bool looksLikeJsonTemplate(std::string_view start) {
    if (start.find(kMark) == std::string_view::npos) {
        return false;
    }
    int depth = 0;
    bool inResources = false;
    for (std::size_t at = 0; at < start.size();) {
        const char c = start[at];
        if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
            inResources = inResources && depth > 1;
        }
        if (c != '"') {
            ++at;
            continue;
        }
        std::string_view key;
        at = skipJsonString(start, at, key);
        const std::string_view after = skipBlanks(start.substr(at));
        if (!after.starts_with(':')) {
            continue;
        }
        if (depth == 1) {
            if (key == kVersionKey) {
                return true;
            }
            inResources = key == kResourcesKey;
        } else if (depth == 3 && inResources && key == kTypeKey) {
            const std::string_view value = skipBlanks(after.substr(1));
            std::string_view type;
            if (value.starts_with('"')) {
                skipJsonString(value, 0, type);
                if (type.starts_with(kResourceTypeStart)) {
                    return true;
                }
            }
        }
    }
    return false;
}

} // namespace norvane::counter
