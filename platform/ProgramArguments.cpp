#include "platform/ProgramArguments.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace norvane::platform {

ProgramArguments::ProgramArguments(int argc, char** argv, Usage usage)
    : ProgramArguments(std::filesystem::path(argv[0]).filename().string(),
                       std::vector<std::string>(argv + 1, argv + argc), std::move(usage)) {}

ProgramArguments::ProgramArguments(std::string name, std::vector<std::string> arguments, Usage usage)
    : name_(std::move(name)), arguments_(std::move(arguments)), usage_(std::move(usage)) {}

std::optional<int> ProgramArguments::refusal(std::size_t least, std::size_t most) const {
    for (const std::string& argument : arguments_) {
        if (argument == "-h" || argument == "--help") {
            std::cout << usage_.line << usage_.description;
            return 0;
        }
        if (argument.starts_with('-') && std::ranges::find(usage_.options, argument) == usage_.options.end()) {
            std::cerr << name_ << ": unknown option " << argument << "\n" << usage_.line;
            return 2;
        }
    }
    if (arguments_.size() < least || arguments_.size() > most) {
        std::cerr << name_ << ": " << (arguments_.size() < least ? "too few" : "too many") << " arguments\n"
                  << usage_.line;
        return 2;
    }
    return std::nullopt;
}

} // namespace norvane::platform
