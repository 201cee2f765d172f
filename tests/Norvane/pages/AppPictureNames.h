#pragma once

#include <QString>
#include <QStringList>

namespace norvane::app::testing {

/// The file names of the application's pictures: every window, page, sheet and wizard step in its
/// states, in the order they are taken.
inline QStringList appPictureNames() {
    const QString taken = QStringLiteral(
        "main-window portfolio-page portfolio-menu portfolio-page-sections-open main-window-minimum "
        "portfolio-page-minimum main-window-error-banner project-page project-page-sections project-page-minimum "
        "project-page-collected project-page-history-only "
        "project-page-no-data menu-bar-panel settings-general settings-cocomo settings-index "
        "settings-data settings-index-sharing settings-index-sharing-end settings-index-forgotten-id "
        "settings-data-exported settings-general-agent-failed "
        "welcome-screen add-project-sheet add-project-sheet-not-a-repository "
        "add-project-sheet-path-missing add-project-sheet-keyboard add-project-sheet-path-refused "
        "add-project-sheet-duplicate "
        "add-project-sheet-importing "
        "add-project-sheet-collection-failed export-sheet export-sheet-csv-with-names "
        "export-sheet-save-failed share-sheet share-sheet-7-days share-sheet-no-figures "
        "share-summary-image onboarding-dependencies-scc-required onboarding-welcome "
        "onboarding-dependencies-checking onboarding-dependencies onboarding-cli-install "
        "onboarding-cli-not-on-path onboarding-cli-install-failed onboarding-cli-installed onboarding-add-project "
        "onboarding-add-project-progress onboarding-add-project-added onboarding-scheduling-without-tool "
        "onboarding-scheduling onboarding-scheduling-enable-failed onboarding-scheduling-enabled "
        "onboarding-scheduling-disable-failed "
        "onboarding-index onboarding-index-joined onboarding-completion");
    QStringList names;
    for (const QString& picture : taken.split(' ')) names << picture + QStringLiteral(".png");
    return names;
}

} // namespace norvane::app::testing
