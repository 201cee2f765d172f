#pragma once

#include <memory>

#include <QMessageBox>

#include "Norvane/state/UpdatePresenter.h"

namespace norvane::app {

/// Presents the outcome of an update check in application-modal message boxes; a newer release
/// can be opened in the browser from its box.
class UpdateDialogPresenter final : public UpdatePresenter {
public:
    void showUpdateAvailable(const QString& newestVersion, const QString& currentVersion,
                             const QUrl& downloadPage) override;
    void showUpToDate(const QString& currentVersion) override;
    void showCheckFailed(const QString& reason) override;

    /// The boxes as shown, built apart from running them so that their texts can be checked.
    static std::unique_ptr<QMessageBox> makeUpdateAvailableBox(const QString& newestVersion,
                                                               const QString& currentVersion);
    static std::unique_ptr<QMessageBox> makeUpToDateBox(const QString& currentVersion);
    static std::unique_ptr<QMessageBox> makeCheckFailedBox(const QString& reason);
};

} // namespace norvane::app
