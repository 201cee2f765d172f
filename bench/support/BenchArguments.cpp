#include "bench/support/BenchArguments.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace norvane::bench {

BenchArguments::BenchArguments(int argc, char** argv, std::string usage, std::vector<std::string> options)
    : name_(std::filesystem::path(argv[0]).filename().string()), arguments_(argv + 1, argv + argc),
      usage_(std::move(usage)), options_(std::move(options)) {}

std::optional<int> BenchArguments::refusal(std::size_t least, std::size_t most) const {
    for (const std::string& argument : arguments_) {
        if (argument == "-h" || argument == "--help") {
            std::cout << usage_;
            return 0;
        }
        if (argument.starts_with('-') && std::ranges::find(options_, argument) == options_.end()) {
            std::cerr << name_ << ": unknown option " << argument << "\n" << usage_;
            return 2;
        }
    }
    if (arguments_.size() < least || arguments_.size() > most) {
        std::cerr << name_ << ": " << (arguments_.size() < least ? "too few" : "too many") << " arguments\n" << usage_;
        return 2;
    }
    return std::nullopt;
}

} // namespace norvane::bench
