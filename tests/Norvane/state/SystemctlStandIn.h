#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TemporaryFolder.h"

namespace norvane::testing {

/// A systemctl first in PATH, for as long as the object lives, that succeeds and notes its
/// arguments, one call a line.
class SystemctlStandIn {
public:
    SystemctlStandIn() : path_("PATH", (folder_.path() / "bin").string() + ":/usr/bin:/bin") {
        const auto script = folder_.writeFile("bin/systemctl", "#!/bin/sh\necho \"$@\" >> '" + log().string() + "'\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }

    /// The arguments of each call, in order.
    std::vector<std::string> calls() const {
        std::istringstream lines(readFile(log()));
        std::vector<std::string> calls;
        for (std::string line; std::getline(lines, line);) calls.push_back(line);
        return calls;
    }

private:
    std::filesystem::path log() const { return folder_.path() / "systemctl.log"; }

    TemporaryFolder folder_;
    ScopedEnvironment path_;
};

} // namespace norvane::testing
