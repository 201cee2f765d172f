#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace norvane::app {

/// Where the command-line tool "norvane" is, looked for as the installer looks for it: beside the
/// running program, where `cmake --install` puts it, then through the installer's link in the
/// install bin folder, which a run from elsewhere needs. Whether a terminal finds it by its name
/// is another matter: only a folder of PATH makes it run from any directory.
struct CommandLineTool {
    /// How far the tool reaches, which the wizard, the settings and the menu all tell alike.
    enum class Reach {
        /// A folder of PATH holds it: 'norvane' runs from any directory.
        onPath,
        /// Found beside the program or through a link outside PATH: the daily agent runs it, a
        /// terminal only by its full path.
        besideApplication,
        /// Nowhere.
        missing,
    };

    /// What can be done about it from the application.
    enum class Action {
        /// Link it into the install bin folder.
        install,
        /// Take the installer's link away.
        uninstall,
        /// On PATH by other means (an install into a folder of PATH): nothing of the installer's
        /// is there to take away.
        none,
    };

    struct Status {
        Reach reach = Reach::missing;
        /// The one a terminal runs when on PATH, else the one the agent runs, else the link.
        std::filesystem::path path;
        Action action = Action::install;

        bool operator==(const Status&) const = default;
    };

    /// The folder of the running program.
    std::filesystem::path programFolder;
    /// The link the installer puts in place and takes away.
    std::filesystem::path linkPath;
    /// The folders a terminal looks in, as PATH lists them.
    std::string searchPath;

    /// The running program's folder, "norvane" in the configured install bin folder, and PATH.
    static CommandLineTool standard();

    /// The one the daily agent runs: the first of the two that is an executable file, else the one
    /// on PATH; none when there is none.
    std::optional<std::filesystem::path> find() const;
    /// The executable "norvane" in the first folder of PATH that holds one.
    std::optional<std::filesystem::path> findOnPath() const;
    /// Read from the disk at each call.
    Status status() const;
};

} // namespace norvane::app
