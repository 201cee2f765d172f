#pragma once

#include <cstdint>
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
    std::string explanation() const;
};

} // namespace norvane
