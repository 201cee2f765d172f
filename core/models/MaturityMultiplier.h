#pragma once

#include "platform/Date.h"

#include <cstdint>
#include <optional>
#include <string>

namespace norvane {

/// How much one line of work in a large, complex, old codebase weighs against greenfield work:
/// 1 for greenfield, rising with size, complexity and age.
struct MaturityMultiplier {
    double value = 1.0;
    double linesFactor = 0.0;
    double complexityFactor = 0.0;
    double ageFactor = 0.0;

    static MaturityMultiplier calculate(std::int64_t codeLines, std::int64_t complexity, double ageMonths);
    /// The same with the age in months of 30 days since the first commit (0 without one).
    static MaturityMultiplier calculate(std::int64_t codeLines, std::int64_t complexity,
                                        std::optional<platform::Date> firstCommitAt, platform::Date now);
    std::string explanation() const;
};

} // namespace norvane
