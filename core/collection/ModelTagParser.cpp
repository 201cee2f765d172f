#include "core/collection/ModelTagParser.h"

#include "core/collection/UnicodeText.h"

#include <unicode/locid.h>
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

/// Texts that every match of some tag patterns contains once the message is lower-cased:
/// brackets, these words and these signs have no other case forms. A message without the text
/// is passed over without running those expressions.
constexpr std::array requiredTexts{"["sv, "generated with"sv, "co-authored-by:"sv, "\U0001F916"sv};

struct TagRow {
    std::string_view pattern;
    std::size_t requiredText; ///< index into requiredTexts
    AIModel model;
};

constexpr std::array<TagRow, 17> tagTable{{
    {R"(\[claude\])"sv, 0, AIModel::claude},
    {R"(\[claude-code\])"sv, 0, AIModel::claude},
    {R"(\[gpt4\])"sv, 0, AIModel::gpt4},
    {R"(\[gpt-4\])"sv, 0, AIModel::gpt4},
    {R"(\[gpt4o\])"sv, 0, AIModel::gpt4o},
    {R"(\[gpt-4o\])"sv, 0, AIModel::gpt4o},
    {R"(\[cursor\])"sv, 0, AIModel::cursor},
    {R"(\[copilot\])"sv, 0, AIModel::copilot},
    {R"(\[github-copilot\])"sv, 0, AIModel::copilot},
    {R"(\[gemini\])"sv, 0, AIModel::gemini},
    {R"(\[anthropic\])"sv, 0, AIModel::anthropic},
    {R"(\[openai\])"sv, 0, AIModel::openai},
    {R"(\[manual\])"sv, 0, AIModel::manual},
    {R"(\[no-ai\])"sv, 0, AIModel::manual},
    {R"(Generated with \[?Claude Code\]?)"sv, 1, AIModel::claude},
    {R"(Co-Authored-By:.*Claude)"sv, 2, AIModel::claude},
    {"\U0001F916.*Claude"sv, 3, AIModel::claude},
}};

constexpr std::array aiMarkers{"generated with"sv, "co-authored-by:"sv, "\U0001F916"sv, "ai-assisted"sv,
                               "ai assisted"sv};

icu::UnicodeString unicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

/// A tag row with its expression compiled, or none when it does not compile.
struct CompiledTag {
    std::unique_ptr<icu::RegexPattern> pattern;
    std::size_t requiredText;
    AIModel model;
};

const std::array<icu::UnicodeString, requiredTexts.size()>& requiredUnicodeTexts() {
    static const auto texts = [] {
        std::array<icu::UnicodeString, requiredTexts.size()> converted;
        for (std::size_t index = 0; index < requiredTexts.size(); ++index) {
            converted[index] = unicode(requiredTexts[index]);
        }
        return converted;
    }();
    return texts;
}

/// The tag table's expressions, compiled once for the process. Patterns are immutable and
/// may be shared between threads; matchers may not.
const std::vector<CompiledTag>& compiledTags() {
    static const std::vector<CompiledTag> compiled = [] {
        std::vector<CompiledTag> tags;
        for (const auto& row : tagTable) {
            UErrorCode status = U_ZERO_ERROR;
            UParseError parseError{};
            std::unique_ptr<icu::RegexPattern> regex(
                icu::RegexPattern::compile(unicode(row.pattern), UREGEX_CASE_INSENSITIVE, parseError, status));
            tags.push_back({U_SUCCESS(status) ? std::move(regex) : nullptr, row.requiredText, row.model});
        }
        return tags;
    }();
    return compiled;
}

/// One matcher per pattern for the calling thread, reused from call to call.
std::vector<std::unique_ptr<icu::RegexMatcher>>& threadMatchers() {
    thread_local std::vector<std::unique_ptr<icu::RegexMatcher>> matchers = [] {
        std::vector<std::unique_ptr<icu::RegexMatcher>> created;
        for (const auto& tag : compiledTags()) {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::RegexMatcher> matcher(tag.pattern ? tag.pattern->matcher(status) : nullptr);
            created.push_back(U_SUCCESS(status) ? std::move(matcher) : nullptr);
        }
        return created;
    }();
    return matchers;
}

} // namespace

std::set<AIModel> parseModels(std::string_view message) {
    auto text = unicode(message);
    text.toLower(icu::Locale::getRoot());
    std::array<bool, requiredTexts.size()> present{};
    for (std::size_t index = 0; index < present.size(); ++index) {
        present[index] = text.indexOf(requiredUnicodeTexts()[index]) >= 0;
    }
    std::set<AIModel> models;
    auto& matchers = threadMatchers();
    const auto& tags = compiledTags();
    for (std::size_t row = 0; row < tags.size(); ++row) {
        auto& matcher = matchers[row];
        const auto& tag = tags[row];
        if (!matcher || !present[tag.requiredText] || models.contains(tag.model)) {
            continue;
        }
        matcher->reset(text);
        UErrorCode status = U_ZERO_ERROR;
        if (matcher->find(0, status) && U_SUCCESS(status)) {
            models.insert(tag.model);
        }
    }
    return models;
}

bool hasAIIndicators(std::string_view message) {
    const auto text = UnicodeText::lowercased(message);
    return std::any_of(aiMarkers.begin(), aiMarkers.end(),
                       [&](std::string_view marker) { return text.find(marker) != std::string::npos; });
}

} // namespace norvane::ModelTagParser
