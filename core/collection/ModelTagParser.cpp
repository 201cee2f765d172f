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

constexpr std::array<std::pair<std::string_view, AIModel>, 17> tagTable{{
    {R"(\[claude\])"sv, AIModel::claude},
    {R"(\[claude-code\])"sv, AIModel::claude},
    {R"(\[gpt4\])"sv, AIModel::gpt4},
    {R"(\[gpt-4\])"sv, AIModel::gpt4},
    {R"(\[gpt4o\])"sv, AIModel::gpt4o},
    {R"(\[gpt-4o\])"sv, AIModel::gpt4o},
    {R"(\[cursor\])"sv, AIModel::cursor},
    {R"(\[copilot\])"sv, AIModel::copilot},
    {R"(\[github-copilot\])"sv, AIModel::copilot},
    {R"(\[gemini\])"sv, AIModel::gemini},
    {R"(\[anthropic\])"sv, AIModel::anthropic},
    {R"(\[openai\])"sv, AIModel::openai},
    {R"(\[manual\])"sv, AIModel::manual},
    {R"(\[no-ai\])"sv, AIModel::manual},
    {R"(Generated with \[?Claude Code\]?)"sv, AIModel::claude},
    {R"(Co-Authored-By:.*Claude)"sv, AIModel::claude},
    {"\U0001F916.*Claude"sv, AIModel::claude},
}};

constexpr std::array aiMarkers{"generated with"sv, "co-authored-by:"sv, "\U0001F916"sv, "ai-assisted"sv,
                               "ai assisted"sv};

/// A compiled tag pattern, or none when it does not compile.
using CompiledTag = std::pair<std::unique_ptr<icu::RegexPattern>, AIModel>;

/// The tag table's expressions, compiled once for the process. Patterns are immutable and
/// may be shared between threads; matchers may not.
const std::vector<CompiledTag>& compiledTags() {
    static const std::vector<CompiledTag> compiled = [] {
        std::vector<CompiledTag> tags;
        for (const auto& [pattern, model] : tagTable) {
            UErrorCode status = U_ZERO_ERROR;
            UParseError parseError{};
            std::unique_ptr<icu::RegexPattern> regex(icu::RegexPattern::compile(
                icu::UnicodeString::fromUTF8(icu::StringPiece(pattern.data(), static_cast<int32_t>(pattern.size()))),
                UREGEX_CASE_INSENSITIVE, parseError, status));
            tags.emplace_back(U_SUCCESS(status) ? std::move(regex) : nullptr, model);
        }
        return tags;
    }();
    return compiled;
}

/// One matcher per pattern for the calling thread, reused from call to call.
std::vector<std::unique_ptr<icu::RegexMatcher>>& threadMatchers() {
    thread_local std::vector<std::unique_ptr<icu::RegexMatcher>> matchers = [] {
        std::vector<std::unique_ptr<icu::RegexMatcher>> created;
        for (const auto& [pattern, model] : compiledTags()) {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::RegexMatcher> matcher(pattern ? pattern->matcher(status) : nullptr);
            created.push_back(U_SUCCESS(status) ? std::move(matcher) : nullptr);
        }
        return created;
    }();
    return matchers;
}

} // namespace

std::set<AIModel> parseModels(std::string_view message) {
    auto text = icu::UnicodeString::fromUTF8(icu::StringPiece(message.data(), static_cast<int32_t>(message.size())));
    text.toLower(icu::Locale::getRoot());
    std::set<AIModel> models;
    auto& matchers = threadMatchers();
    const auto& tags = compiledTags();
    for (std::size_t row = 0; row < tags.size(); ++row) {
        auto& matcher = matchers[row];
        if (!matcher || models.contains(tags[row].second)) {
            continue;
        }
        matcher->reset(text);
        UErrorCode status = U_ZERO_ERROR;
        if (matcher->find(0, status) && U_SUCCESS(status)) {
            models.insert(tags[row].second);
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
