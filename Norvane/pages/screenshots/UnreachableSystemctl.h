#pragma once

#include "platform/ProcessRunner.h"

namespace norvane::app {

/// A systemctl whose user session cannot be reached, as on a desktop without systemd's user bus:
/// the pictures of a failed agent, and nothing changed outside the temporary home.
class UnreachableSystemctl final : public platform::ProcessRunner {
public:
    platform::ProcessResult run(const platform::ProcessRequest&) override {
        platform::ProcessResult result;
        result.exitStatus = 1;
        result.standardError = "System has not been booted with systemd as init system (PID 1). Can't operate.\n"
                               "Failed to connect to bus: Host is down";
        return result;
    }
};

} // namespace norvane::app
