#pragma once

#include <optional>

#include <QColor>
#include <QString>

#include "Norvane/onboarding/DependencyCheck.h"

namespace norvane::app {

/// What the dependency step shows of one tool after a check, decided from its findings.
struct ToolRow {
    QString name;
    QString description;
    std::optional<QString> badge;
    QColor badgeColor;
    /// The status symbol once no check runs.
    QString symbol;
    QColor symbolColor;
    /// The line under a missing tool, once no check runs; a command is shown in a monospaced font.
    std::optional<QString> hint;
    bool hintIsCommand = false;
};

/// The dependency step's rules. scc is required only without the built-in counter, which counts
/// code just as well; git is always optional.
namespace DependencyRows {

inline const QString sccInstallCommand = QStringLiteral("go install github.com/boyter/scc/v3@latest");
inline const QString sccProjectPage = QStringLiteral("https://github.com/boyter/scc");

ToolRow git(const DependencyCheck::Findings& findings);
ToolRow scc(const DependencyCheck::Findings& findings);
/// The box that helps install scc: only when nothing can count code.
bool showsInstallBox(const DependencyCheck::Findings& findings, bool isChecking);

} // namespace DependencyRows
} // namespace norvane::app
