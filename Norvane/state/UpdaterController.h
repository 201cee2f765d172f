#pragma once

#include <QString>

#include "Norvane/state/UpdateDialogPresenter.h"
#include "Norvane/state/Updater.h"

namespace norvane::app {

/// The application's one updater, started at launch over the feed address the build sets
/// (none when the build leaves it empty), with its dialogs.
class UpdaterController {
public:
    explicit UpdaterController(const QString& currentVersion);
    UpdaterController(const UpdaterController&) = delete;
    UpdaterController& operator=(const UpdaterController&) = delete;

    Updater& updater() { return updater_; }

private:
    UpdateDialogPresenter presenter_;
    Updater updater_;
};

} // namespace norvane::app
