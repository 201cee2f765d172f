#pragma once

#include <string>
#include <vector>

#include "Norvane/state/PrivilegedRunner.h"

namespace norvane::testing {

/// Answers every command with one outcome and keeps the commands.
class FakePrivilegedRunner final : public app::PrivilegedRunner {
public:
    Outcome runShellCommand(const std::string& command) override {
        commands.push_back(command);
        return outcome;
    }

    Outcome outcome;
    std::vector<std::string> commands;
};

} // namespace norvane::testing
