#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace norvane {

/// The hours and cost of code at a market hourly rate, weighted by its complexity and by a
/// multiplier for its language.
struct MarketRateEstimate {
    int64_t codeLines = 0;
    int64_t complexity = 0;
    double estimatedHours = 0;
    double estimatedCost = 0; ///< US dollars
    double hourlyRate = 0;    ///< US dollars per hour
    double languageMultiplier = 1;

    /// Hours = lines / 50 * (complexity / 1000 + 1) * the language's multiplier; cost = hours * rate.
    static MarketRateEstimate calculate(int64_t codeLines, int64_t complexity,
                                        const std::optional<std::string>& primaryLanguage, double hourlyRate);

    /// The multiplier of a language name as the code counter spells it, compared whole after
    /// lower-casing; 1.0 for no language and for names the table does not hold.
    static double languageMultiplierFor(const std::optional<std::string>& language);

    /// The multipliers for display, in display order.
    static const std::vector<std::pair<std::string, double>>& languageMultipliers();
};

} // namespace norvane
