#pragma once

#include <optional>

#include <QColor>
#include <QString>

#include "core/models/ProjectEnums.h"

namespace norvane::app {

/// The rules of the add-project form, as the user types: the warning under the path, the
/// description of the COCOMO type, and when Add can be pressed.
class AddProjectForm {
public:
    struct PathWarning {
        QString symbol;
        QString text;
        QColor color;
    };

    /// True when the typed folder holds an item named ".git" (a folder or a file); parent
    /// folders are not searched.
    static bool isGitRepository(const QString& path);
    /// Read from the folder as it will be stored ("~" expanded, relative paths made absolute):
    /// a missing path, a file, a folder that is not a repository; none for an empty path or a
    /// repository. Advisory only: the registration checks again.
    static std::optional<PathWarning> pathWarning(const QString& path);
    static QString typeLabel(ProjectType type);
    static QString typeDescription(ProjectType type);
    /// A name and a path typed, and no add under way; a blank name is refused on pressing Add.
    static bool isAddEnabled(const QString& name, const QString& path, bool isAdding);
};

} // namespace norvane::app
