#pragma once

#include "Norvane/state/PrivilegedRunner.h"
#include "platform/ProcessRunner.h"

namespace norvane::app {

/// Administrator rights through polkit: "pkexec /bin/sh -c COMMAND". pkexec answers 126 when the
/// user dismisses its authentication dialog.
class PkexecRunner final : public PrivilegedRunner {
public:
    explicit PkexecRunner(platform::ProcessRunner& runner) : runner_(runner) {}

    Outcome runShellCommand(const std::string& command) override;

private:
    platform::ProcessRunner& runner_;
};

} // namespace norvane::app
