#include "Norvane/sheets/AddProjectForm.h"

#include <filesystem>
#include <system_error>

#include "Norvane/components/theme/Palette.h"
#include "core/models/ProjectInput.h"

namespace norvane::app {
namespace {

std::filesystem::path storedFolder(const QString& path) {
    return std::filesystem::path(ProjectInput::absoluteFolder(path.toStdString()));
}

} // namespace

bool AddProjectForm::isGitRepository(const QString& path) {
    if (path.isEmpty()) return false;
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(storedFolder(path) / ".git", error));
}

std::optional<AddProjectForm::PathWarning> AddProjectForm::pathWarning(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    std::error_code error;
    const auto status = std::filesystem::status(storedFolder(path), error);
    if (!std::filesystem::exists(status)) {
        return PathWarning{QStringLiteral("exclamationmark.triangle"), QStringLiteral("Path does not exist"),
                           Palette::amber()};
    }
    if (!std::filesystem::is_directory(status)) {
        return PathWarning{QStringLiteral("exclamationmark.triangle"), QStringLiteral("Path is not a directory"),
                           Palette::amber()};
    }
    if (!isGitRepository(path)) {
        return PathWarning{QStringLiteral("info.circle"),
                           QStringLiteral("Not a git repository (git metrics will be unavailable)"),
                           Palette::textSecondary()};
    }
    return std::nullopt;
}

QString AddProjectForm::typeLabel(ProjectType type) {
    switch (type) {
    case ProjectType::organic: return QStringLiteral("Organic");
    case ProjectType::semiDetached: return QStringLiteral("Semi-Detached");
    case ProjectType::embedded: return QStringLiteral("Embedded");
    }
    return {};
}

QString AddProjectForm::typeDescription(ProjectType type) {
    switch (type) {
    case ProjectType::organic: return QStringLiteral("Small teams, flexible requirements (most common)");
    case ProjectType::semiDetached: return QStringLiteral("Medium teams, mix of experienced and new developers");
    case ProjectType::embedded: return QStringLiteral("Tight constraints, strict requirements");
    }
    return {};
}

bool AddProjectForm::isAddEnabled(const QString& name, const QString& path, bool isAdding) {
    return !name.isEmpty() && !path.isEmpty() && !isAdding;
}

} // namespace norvane::app
