#include "Norvane/state/PkexecRunner.h"

namespace norvane::app {
namespace {

constexpr int dismissedStatus = 126;

} // namespace

PrivilegedRunner::Outcome PkexecRunner::runShellCommand(const std::string& command) {
    platform::ProcessRequest request;
    request.executable = "/usr/bin/pkexec";
    request.arguments = {"/bin/sh", "-c", command};
    const platform::ProcessResult result = runner_.run(request);
    if (!result.started()) {
        return {Outcome::Kind::launchFailed, *result.startError};
    }
    if (result.exitStatus == 0) {
        return {Outcome::Kind::succeeded, {}};
    }
    if (result.exitStatus == dismissedStatus) {
        return {Outcome::Kind::refused, {}};
    }
    return {Outcome::Kind::failed, result.standardError};
}

} // namespace norvane::app
