// Makes a store file filled with one of the benchmarks' portfolios, for the scripts that measure
// whole programs over it: norvane-bench-seed FILE [weekly|commits|commits-200|commits-4]
#include "bench/support/PortfolioSeed.h"
#include "platform/ProgramArguments.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    constexpr const char* usage = "usage: norvane-bench-seed FILE [weekly|commits|commits-200|commits-4]\n";
    if (const auto status = norvane::platform::ProgramArguments(argc, argv, {usage}).refusal(1, 2)) {
        return *status;
    }
    const auto shape = norvane::PortfolioShape::named(argc == 3 ? argv[2] : "weekly");
    if (!shape) {
        std::cerr << "norvane-bench-seed: no portfolio named " << argv[2] << "\n" << usage;
        return 2;
    }
    try {
        norvane::PortfolioSeed::seedStore(std::filesystem::absolute(argv[1]), *shape);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
