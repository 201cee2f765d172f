#include "counter/IgnoreRules.h"

#include <utility>

namespace norvane::counter {

IgnoreRules::IgnoreRules(std::shared_ptr<const IgnoreRules> parent, std::size_t baseLength)
    : parent_(std::move(parent)), baseLength_(baseLength) {}

void IgnoreRules::addPatterns(std::string_view contents) {
    // A byte-order mark starts the file, not its first pattern.
    if (contents.starts_with("\xEF\xBB\xBF")) {
        contents.remove_prefix(3);
    }
    while (!contents.empty()) {
        const auto newline = contents.find('\n');
        const auto line = contents.substr(0, newline);
        if (auto pattern = IgnorePattern::parse(line)) {
            patterns_.push_back(std::move(*pattern));
        }
        contents.remove_prefix(newline == std::string_view::npos ? contents.size() : newline + 1);
    }
}

bool IgnoreRules::isIgnored(std::string_view pathFromRoot, bool isFolder) const {
    for (const IgnoreRules* rules = this; rules != nullptr; rules = rules->parent_.get()) {
        const auto relativePath = pathFromRoot.substr(rules->baseLength_);
        for (auto pattern = rules->patterns_.rbegin(); pattern != rules->patterns_.rend(); ++pattern) {
            if (pattern->matches(relativePath, isFolder)) {
                return !pattern->negated();
            }
        }
    }
    return false;
}

} // namespace norvane::counter
