#include "Norvane/onboarding/DependencyRows.h"

#include "Norvane/components/theme/Palette.h"

namespace norvane::app::DependencyRows {
namespace {

const QString foundSymbol = QStringLiteral("checkmark.circle.fill");

} // namespace

ToolRow git(const DependencyCheck::Findings& findings) {
    ToolRow row{QStringLiteral("git"), QStringLiteral("Version control (for commit history)")};
    if (findings.git) {
        row.symbol = foundSymbol;
        row.symbolColor = Palette::green();
        return row;
    }
    row.symbol = QStringLiteral("minus.circle.fill");
    row.symbolColor = Palette::amber();
    row.hint = QStringLiteral("sudo apt install git");
    row.hintIsCommand = true;
    return row;
}

ToolRow scc(const DependencyCheck::Findings& findings) {
    ToolRow row{QStringLiteral("scc"), QStringLiteral("Code metrics analyzer")};
    const bool required = !findings.builtInCounter;
    row.badge = required ? QStringLiteral("Required") : QStringLiteral("Optional");
    row.badgeColor = required ? Palette::red() : Palette::textSecondary();
    if (findings.scc) {
        row.symbol = foundSymbol;
        row.symbolColor = Palette::green();
        return row;
    }
    if (required) {
        row.symbol = QStringLiteral("xmark.circle.fill");
        row.symbolColor = Palette::red();
        row.hint = sccInstallCommand;
        row.hintIsCommand = true;
        return row;
    }
    row.symbol = QStringLiteral("minus.circle.fill");
    row.symbolColor = Palette::amber();
    row.hint = QStringLiteral("Not needed: Norvane's built-in counter is used instead");
    return row;
}

bool showsInstallBox(const DependencyCheck::Findings& findings, bool isChecking) {
    return !isChecking && !findings.scc && !findings.builtInCounter;
}

} // namespace norvane::app::DependencyRows
