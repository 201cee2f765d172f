#include "core/collection/MarketRateEstimate.h"

#include "platform/UnicodeText.h"

#include <algorithm>

namespace norvane {
namespace {

/// The market's languages as shown, each with its multiplier and the names, lower-cased, that the
/// code counter may give it.
struct LanguageGroup {
    std::string_view shownAs;
    double multiplier;
    std::vector<std::string_view> names;
};

const std::vector<LanguageGroup>& languageGroups() {
    static const std::vector<LanguageGroup> groups{
        {"Rust", 1.4, {"rust"}},
        {"C++", 1.4, {"c++", "cpp"}},
        {"C", 1.3, {"c"}},
        {"Swift", 1.2, {"swift"}},
        {"Kotlin", 1.2, {"kotlin"}},
        {"Java", 1.1, {"java"}},
        {"C#", 1.1, {"c#", "csharp"}},
        {"TypeScript", 1.0, {"typescript"}},
        {"Go", 1.0, {"go", "golang"}},
        {"JavaScript", 0.9, {"javascript"}},
        {"Dart", 0.9, {"dart"}},
        {"PHP", 0.85, {"php"}},
        {"Perl", 0.85, {"perl"}},
        {"Python", 0.8, {"python"}},
        {"Ruby", 0.8, {"ruby"}},
        {"Shell", 0.7, {"bash", "sh", "shell", "zsh"}},
        {"SQL", 0.6, {"sql"}},
        {"HTML/CSS", 0.4, {"html", "css", "scss", "sass"}},
        {"Config (JSON/YAML)", 0.3, {"json", "yaml", "yml", "xml", "toml"}},
        {"Markdown", 0.2, {"markdown", "md"}},
    };
    return groups;
}

} // namespace

MarketRateEstimate MarketRateEstimate::calculate(int64_t codeLines, int64_t complexity,
                                                 const std::optional<std::string>& primaryLanguage, double hourlyRate) {
    const double multiplier = languageMultiplierFor(primaryLanguage);
    const double hours =
        (static_cast<double>(codeLines) / 50.0) * (static_cast<double>(complexity) / 1000.0 + 1.0) * multiplier;
    return {codeLines, complexity, hours, hours * hourlyRate, hourlyRate, multiplier};
}

double MarketRateEstimate::languageMultiplierFor(const std::optional<std::string>& language) {
    if (!language) {
        return 1.0;
    }
    const auto name = platform::UnicodeText::lowercased(*language);
    for (const auto& group : languageGroups()) {
        if (std::find(group.names.begin(), group.names.end(), name) != group.names.end()) {
            return group.multiplier;
        }
    }
    return 1.0;
}

const std::vector<std::pair<std::string, double>>& MarketRateEstimate::languageMultipliers() {
    static const auto shown = [] {
        std::vector<std::pair<std::string, double>> pairs;
        for (const auto& group : languageGroups()) pairs.emplace_back(group.shownAs, group.multiplier);
        return pairs;
    }();
    return shown;
}

} // namespace norvane
