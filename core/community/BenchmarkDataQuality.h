#pragma once

#include "platform/RawValueEnum.h"

#include <cstdint>
#include <string_view>

namespace norvane {

/// How far a benchmark can be trusted, from the number of contributors behind it.
enum class BenchmarkDataQuality { insufficient, early, full };

/// Below 100 contributors insufficient, below 500 early, otherwise full.
BenchmarkDataQuality classifyBenchmarkDataQuality(std::int64_t contributorCount);
std::string_view caption(BenchmarkDataQuality quality);

} // namespace norvane

template <>
struct norvane::platform::EnumTraits<norvane::BenchmarkDataQuality> {
    static constexpr std::array cases{
        std::pair{BenchmarkDataQuality::insufficient, std::string_view("insufficient")},
        std::pair{BenchmarkDataQuality::early, std::string_view("early")},
        std::pair{BenchmarkDataQuality::full, std::string_view("full")},
    };
};
