#include "counter/LanguageRegistry.h"

#include "counter/LanguageTable.h"

#include <algorithm>

namespace norvane::counter {

namespace {

std::string lowerCase(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lowered;
}

} // namespace

LanguageRegistry::LanguageRegistry() {
    const auto& table = languageTable();
    scanners_.reserve(table.size());
    for (std::size_t index = 0; index < table.size(); ++index) {
        scanners_.emplace_back(table[index]);
        for (auto fileName : table[index].fileNames) {
            byFileName_.emplace(fileName, index);
        }
        for (auto extension : table[index].extensions) {
            byExtension_.emplace(extension, index);
        }
    }
}

std::optional<std::size_t> LanguageRegistry::find(std::string_view fileName) const {
    const std::string lowered = lowerCase(fileName);
    if (auto found = byFileName_.find(lowered); found != byFileName_.end()) {
        return found->second;
    }
    // "a.d.ts" tries "d.ts" before "ts", so double extensions win over their last part.
    for (auto dot = lowered.find('.'); dot != std::string::npos; dot = lowered.find('.', dot + 1)) {
        const std::string_view extension = std::string_view(lowered).substr(dot + 1);
        if (auto found = byExtension_.find(extension); found != byExtension_.end()) {
            return found->second;
        }
    }
    return std::nullopt;
}

std::string_view LanguageRegistry::name(std::size_t language) const {
    return languageTable()[language].name;
}

} // namespace norvane::counter
