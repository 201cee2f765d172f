#include "Norvane/state/CheckForUpdatesView.h"

namespace norvane::app {

CheckForUpdatesView::CheckForUpdatesView(CheckForUpdatesViewModel* checkForUpdatesViewModel, QObject* parent)
    : QAction(tr("Check for Updates..."), parent), checkForUpdatesViewModel_(checkForUpdatesViewModel) {
    checkForUpdatesViewModel_->setParent(this);
    setEnabled(checkForUpdatesViewModel_->canCheckForUpdates());
    connect(checkForUpdatesViewModel_, &CheckForUpdatesViewModel::canCheckForUpdatesChanged, this,
            &QAction::setEnabled);
    connect(this, &QAction::triggered, &checkForUpdatesViewModel_->updater(), &Updater::checkForUpdates);
}

} // namespace norvane::app
