#include "core/collection/ModelTagParser.h"

#include "platform/UnicodeText.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace norvane::ModelTagParser {
namespace {

using namespace std::string_view_literals;

/// Bracket tags, matched whole in any letter case.
constexpr std::array<std::pair<std::string_view, AIModel>, 14> bracketTags{{
    {"[claude]"sv, AIModel::claude},
    {"[claude-code]"sv, AIModel::claude},
    {"[gpt4]"sv, AIModel::gpt4},
    {"[gpt-4]"sv, AIModel::gpt4},
    {"[gpt4o]"sv, AIModel::gpt4o},
    {"[gpt-4o]"sv, AIModel::gpt4o},
    {"[cursor]"sv, AIModel::cursor},
    {"[copilot]"sv, AIModel::copilot},
    {"[github-copilot]"sv, AIModel::copilot},
    {"[gemini]"sv, AIModel::gemini},
    {"[anthropic]"sv, AIModel::anthropic},
    {"[openai]"sv, AIModel::openai},
    {"[manual]"sv, AIModel::manual},
    {"[no-ai]"sv, AIModel::manual},
}};

/// An assistant trailer's case-insensitive expression, and the text that each of its matches
/// begins with once the message is lower-cased (these words and signs have no other case forms).
struct TrailerRow {
    std::string_view pattern;
    std::string_view requiredText;
    AIModel model;
};

constexpr std::array<TrailerRow, 3> trailerTable{{
    {R"(Generated with \[?Claude Code\]?)"sv, "generated with"sv, AIModel::claude},
    {R"(Co-Authored-By:.*Claude)"sv, "co-authored-by:"sv, AIModel::claude},
    {"\U0001F916.*Claude"sv, "\U0001F916"sv, AIModel::claude},
}};

constexpr std::array aiMarkers{"generated with"sv, "co-authored-by:"sv, "\U0001F916"sv, "ai-assisted"sv,
                               "ai assisted"sv};

icu::UnicodeString unicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

/// The trailer table's expressions, compiled once for the process; null where one does not
/// compile. Patterns are immutable and may be shared between threads; matchers may not.
const std::vector<std::unique_ptr<icu::RegexPattern>>& compiledTrailers() {
    static const auto compiled = [] {
        std::vector<std::unique_ptr<icu::RegexPattern>> patterns;
        for (const auto& row : trailerTable) {
            UErrorCode status = U_ZERO_ERROR;
            UParseError parseError{};
            std::unique_ptr<icu::RegexPattern> regex(
                icu::RegexPattern::compile(unicode(row.pattern), UREGEX_CASE_INSENSITIVE, parseError, status));
            patterns.push_back(U_SUCCESS(status) ? std::move(regex) : nullptr);
        }
        return patterns;
    }();
    return compiled;
}

/// One matcher per trailer pattern for the calling thread, reused from call to call.
std::vector<std::unique_ptr<icu::RegexMatcher>>& threadMatchers() {
    thread_local std::vector<std::unique_ptr<icu::RegexMatcher>> matchers = [] {
        std::vector<std::unique_ptr<icu::RegexMatcher>> created;
        for (const auto& pattern : compiledTrailers()) {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::RegexMatcher> matcher(pattern ? pattern->matcher(status) : nullptr);
            created.push_back(U_SUCCESS(status) ? std::move(matcher) : nullptr);
        }
        return created;
    }();
    return matchers;
}

/// A "[" or "]" never comes from folding another character, so a tag found in the case-folded
/// message starts and ends on whole characters: it is just what a case-insensitive match finds.
void addBracketTags(std::string_view lowercasedMessage, std::set<AIModel>& models) {
    if (!contains(lowercasedMessage, "[")) {
        return;
    }
    const auto folded = platform::UnicodeText::caseFolded(lowercasedMessage);
    for (const auto& [tag, model] : bracketTags) {
        if (contains(folded, tag)) {
            models.insert(model);
        }
    }
}

/// Each expression runs only on a message that holds its required text, and from the first
/// occurrence of that text on.
void addTrailers(std::string_view lowercasedMessage, std::set<AIModel>& models) {
    for (std::size_t row = 0; row < trailerTable.size(); ++row) {
        const auto& trailer = trailerTable[row];
        if (models.contains(trailer.model)) {
            continue;
        }
        const auto start = lowercasedMessage.find(trailer.requiredText);
        if (start == std::string_view::npos) {
            continue;
        }
        // Compiled at the first message that may hold a trailer: many histories hold none.
        auto& matcher = threadMatchers()[row];
        if (!matcher) {
            continue;
        }
        const auto text = unicode(lowercasedMessage.substr(start));
        matcher->reset(text);
        UErrorCode status = U_ZERO_ERROR;
        if (matcher->find(0, status) && U_SUCCESS(status)) {
            models.insert(trailer.model);
        }
    }
}

} // namespace

std::set<AIModel> parseModels(std::string_view message) {
    const auto text = platform::UnicodeText::lowercased(message);
    std::set<AIModel> models;
    addBracketTags(text, models);
    addTrailers(text, models);
    return models;
}

bool hasAIIndicators(std::string_view message) {
    const auto text = platform::UnicodeText::lowercased(message);
    return std::any_of(aiMarkers.begin(), aiMarkers.end(),
                       [&](std::string_view marker) { return contains(text, marker); });
}

} // namespace norvane::ModelTagParser
