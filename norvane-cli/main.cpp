#include "norvane-cli/CommandLineTool.h"
#include "norvane-cli/Console.h"

int main(int argc, char** argv) {
    norvane::cli::CommandLineTool tool;
    return tool.run(argc, argv, norvane::cli::Console::standard());
}
