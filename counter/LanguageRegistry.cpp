#include "counter/LanguageRegistry.h"

#include "counter/LanguageTable.h"

#include <algorithm>

namespace norvane::counter {

namespace {

// How much of a file is searched for the keywords that tell languages apart.
constexpr std::size_t kKeywordProbeLength = 20000;

bool isLineBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view nextWord(std::string_view& line) {
    while (!line.empty() && isLineBlank(line.front())) {
        line.remove_prefix(1);
    }
    std::size_t length = 0;
    while (length < line.size() && !isLineBlank(line[length])) {
        ++length;
    }
    const auto word = line.substr(0, length);
    line.remove_prefix(length);
    return word;
}

// "/usr/bin/env -S python3 -u" names python3; "/bin/sh -e" names sh.
std::string_view interpreterName(std::string_view contents) {
    std::string_view line = contents.substr(0, contents.find('\n')).substr(2);
    std::string_view program = nextWord(line);
    program = program.substr(program.find_last_of('/') + 1);
    if (program == "env") {
        do {
            program = nextWord(line);
        } while (!program.empty() && (program.front() == '-' || program.find('=') != std::string_view::npos));
    }
    return program;
}

std::string lowerCase(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lowered;
}

} // namespace

LanguageRegistry::LanguageRegistry()
    : size_(languageTable().size()), scanners_(std::make_unique<LazyScanner[]>(size_)) {
    const auto table = languageTable();
    candidates_.reserve(2 * table.size());
    for (std::size_t index = 0; index < table.size(); ++index) {
        candidates_.push_back(index);
        for (auto fileName : table[index].fileNames) {
            byFileName_.emplace(fileName, index);
        }
        for (auto interpreter : table[index].interpreters) {
            byInterpreter_.emplace(interpreter, index);
        }
    }
    addSharedExtensions();
}

// Languages without distinguishing keywords or a test of their own come first, as the plain kind
// of a shared extension (YAML before CloudFormation); the rest keep the table's order.
void LanguageRegistry::addSharedExtensions() {
    const auto table = languageTable();
    // Each extension with the languages that claim it, in the table's order.
    std::vector<std::pair<std::string_view, std::size_t>> owners;
    for (std::size_t index = 0; index < table.size(); ++index) {
        for (auto extension : table[index].extensions) {
            owners.emplace_back(extension, index);
        }
    }
    std::stable_sort(owners.begin(), owners.end(),
                     [](const auto& left, const auto& right) { return left.first < right.first; });
    byExtension_.reserve(owners.size());
    for (auto first = owners.begin(); first != owners.end();) {
        const auto last =
            std::find_if(first, owners.end(), [&](const auto& owner) { return owner.first != first->first; });
        if (last - first == 1) {
            byExtension_.emplace(first->first, LanguageChoice{static_cast<std::uint16_t>(first->second), 1});
            first = last;
            continue;
        }
        const auto start = static_cast<std::ptrdiff_t>(candidates_.size());
        for (auto owner = first; owner != last; ++owner) {
            candidates_.push_back(owner->second);
        }
        std::stable_partition(candidates_.begin() + start, candidates_.end(), [&](std::size_t language) {
            return table[language].keywords.size() == 0 && table[language].recognizes == nullptr;
        });
        byExtension_.emplace(
            first->first, LanguageChoice{static_cast<std::uint16_t>(start), static_cast<std::uint16_t>(last - first)});
        first = last;
    }
}

std::optional<LanguageChoice> LanguageRegistry::find(std::string_view fileName) const {
    const std::string lowered = lowerCase(fileName);
    if (auto found = byFileName_.find(lowered); found != byFileName_.end()) {
        return LanguageChoice{static_cast<std::uint16_t>(found->second), 1};
    }
    // A name without an extension is no extension itself: a script named "java" is known by its
    // first line.
    if (!hasExtension(lowered)) {
        return std::nullopt;
    }
    if (auto found = byExtension_.find(lowered); found != byExtension_.end()) {
        return found->second;
    }
    // "a.d.ts" tries "d.ts" before "ts", so double extensions win over their last part.
    for (auto dot = lowered.find('.', 1); dot != std::string::npos; dot = lowered.find('.', dot + 1)) {
        const std::string_view extension = std::string_view(lowered).substr(dot + 1);
        if (auto found = byExtension_.find(extension); found != byExtension_.end()) {
            return found->second;
        }
    }
    return std::nullopt;
}

std::size_t LanguageRegistry::decide(LanguageChoice choice, std::string_view contents) const {
    std::size_t best = candidates_[choice.first];
    if (choice.count == 1) {
        return best;
    }
    for (std::size_t index = choice.first; index < choice.first + choice.count; ++index) {
        const auto recognizes = languageTable()[candidates_[index]].recognizes;
        if (recognizes != nullptr && recognizes(contents.substr(0, kDecisionProbeLength))) {
            return candidates_[index];
        }
    }
    const std::string_view start = contents.substr(0, kKeywordProbeLength);
    std::size_t bestHits = 0;
    for (std::size_t index = choice.first; index < choice.first + choice.count; ++index) {
        const auto& keywords = languageTable()[candidates_[index]].keywords;
        const auto hits = static_cast<std::size_t>(std::count_if(
            keywords.begin(), keywords.end(), [&](std::string_view word) { return start.find(word) != start.npos; }));
        if (hits > bestHits) {
            best = candidates_[index];
            bestHits = hits;
        }
    }
    return best;
}

std::optional<std::size_t> LanguageRegistry::findByInterpreter(std::string_view contents) const {
    if (!contents.starts_with("#!")) {
        return std::nullopt;
    }
    const std::string program = lowerCase(interpreterName(contents));
    if (auto found = byInterpreter_.find(program); found != byInterpreter_.end()) {
        return found->second;
    }
    // python3.11 is python, ruby2.7 is ruby.
    const auto versionStart = program.find_last_not_of("0123456789.") + 1;
    if (auto found = byInterpreter_.find(std::string_view(program).substr(0, versionStart));
        found != byInterpreter_.end()) {
        return found->second;
    }
    return std::nullopt;
}

std::string_view LanguageRegistry::name(std::size_t language) const { return languageTable()[language].name; }

const SourceScanner& LanguageRegistry::scanner(std::size_t language) const {
    LazyScanner& lazy = scanners_[language];
    std::call_once(lazy.built,
                   [&] { lazy.scanner = std::make_unique<const SourceScanner>(languageTable()[language]); });
    return *lazy.scanner;
}

} // namespace norvane::counter
