// Makes a store file filled with one of the benchmarks' portfolios, for the scripts that measure
// whole programs over it: norvane-bench-seed FILE [weekly|commits|commits-200]
#include "bench/support/PortfolioSeed.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    const auto shape = norvane::PortfolioShape::named(argc == 3 ? argv[2] : "weekly");
    if (argc < 2 || argc > 3 || !shape) {
        std::cerr << "usage: norvane-bench-seed FILE [weekly|commits|commits-200]\n";
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
