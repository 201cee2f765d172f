#include "norvane-cli/CommandLineTool.h"
#include "norvane-cli/Console.h"

#include "platform/ChildProcesses.h"

int main(int argc, char** argv) {
    // Stopping the tool, by Ctrl-C, kill or timeout, stops the counter and git that it started.
    norvane::platform::ChildProcesses::stopOnTerminationSignals();
    norvane::cli::CommandLineTool tool;
    return tool.run(argc, argv, norvane::cli::Console::standard());
}
