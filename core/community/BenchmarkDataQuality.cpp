#include "core/community/BenchmarkDataQuality.h"

namespace norvane {

BenchmarkDataQuality classifyBenchmarkDataQuality(std::int64_t contributorCount) {
    if (contributorCount < 100) return BenchmarkDataQuality::insufficient;
    if (contributorCount < 500) return BenchmarkDataQuality::early;
    return BenchmarkDataQuality::full;
}

std::string_view caption(BenchmarkDataQuality quality) {
    switch (quality) {
    case BenchmarkDataQuality::insufficient: return "Help build the Norvane Index";
    case BenchmarkDataQuality::early: return "Based on early data";
    case BenchmarkDataQuality::full: return "Community benchmark";
    }
    return {};
}

} // namespace norvane
