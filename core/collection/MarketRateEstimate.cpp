#include "core/collection/MarketRateEstimate.h"

#include "platform/UnicodeText.h"

#include <array>

namespace norvane {
namespace {

using namespace std::string_view_literals;

constexpr std::array<std::pair<std::string_view, double>, 34> multipliersByName{{
    {"rust"sv, 1.4},   {"c++"sv, 1.4},    {"cpp"sv, 1.4},        {"c"sv, 1.3},      {"swift"sv, 1.2},
    {"kotlin"sv, 1.2}, {"java"sv, 1.1},   {"c#"sv, 1.1},         {"csharp"sv, 1.1}, {"typescript"sv, 1.0},
    {"go"sv, 1.0},     {"golang"sv, 1.0}, {"javascript"sv, 0.9}, {"dart"sv, 0.9},   {"python"sv, 0.8},
    {"ruby"sv, 0.8},   {"php"sv, 0.85},   {"perl"sv, 0.85},      {"html"sv, 0.4},   {"css"sv, 0.4},
    {"scss"sv, 0.4},   {"sass"sv, 0.4},   {"json"sv, 0.3},       {"yaml"sv, 0.3},   {"yml"sv, 0.3},
    {"xml"sv, 0.3},    {"toml"sv, 0.3},   {"markdown"sv, 0.2},   {"md"sv, 0.2},     {"bash"sv, 0.7},
    {"sh"sv, 0.7},     {"shell"sv, 0.7},  {"zsh"sv, 0.7},        {"sql"sv, 0.6},
}};

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
    for (const auto& [candidate, multiplier] : multipliersByName) {
        if (candidate == name) {
            return multiplier;
        }
    }
    return 1.0;
}

const std::vector<std::pair<std::string, double>>& MarketRateEstimate::languageMultipliers() {
    static const std::vector<std::pair<std::string, double>> display{
        {"Rust", 1.4},
        {"C++", 1.4},
        {"C", 1.3},
        {"Swift", 1.2},
        {"Kotlin", 1.2},
        {"Java", 1.1},
        {"C#", 1.1},
        {"TypeScript", 1.0},
        {"Go", 1.0},
        {"JavaScript", 0.9},
        {"Dart", 0.9},
        {"PHP", 0.85},
        {"Perl", 0.85},
        {"Python", 0.8},
        {"Ruby", 0.8},
        {"Shell", 0.7},
        {"SQL", 0.6},
        {"HTML/CSS", 0.4},
        {"Config (JSON/YAML)", 0.3},
        {"Markdown", 0.2},
    };
    return display;
}

} // namespace norvane
