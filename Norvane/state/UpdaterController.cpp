#include "Norvane/state/UpdaterController.h"

namespace norvane::app {

UpdaterController::UpdaterController(const QString& currentVersion)
    : updater_(QStringLiteral(NORVANE_UPDATE_FEED_URL), currentVersion, presenter_) {}

} // namespace norvane::app
