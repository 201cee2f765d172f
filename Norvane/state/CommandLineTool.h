#pragma once

#include <filesystem>
#include <optional>

namespace norvane::app {

/// Where the command-line tool "norvane" is, looked for as the installer looks for it: beside the
/// running program, where `cmake --install` puts it, then through the installer's link in the
/// install bin folder, which a run from elsewhere needs.
struct CommandLineTool {
    /// The folder of the running program.
    std::filesystem::path programFolder;
    /// The link the installer puts in place and takes away.
    std::filesystem::path linkPath;

    /// The running program's folder, and "norvane" in the configured install bin folder.
    static CommandLineTool standard();

    /// The first of the two that is an executable file; none when neither is.
    std::optional<std::filesystem::path> find() const;
    /// Where the tool is shown to be: where it is found, else the link.
    std::filesystem::path shownPath() const;
    /// Whether the installer's link is there, so that there is something to uninstall.
    bool hasLink() const;
};

} // namespace norvane::app
