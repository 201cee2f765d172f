#include "Norvane/state/CheckForUpdatesViewModel.h"

namespace norvane::app {

CheckForUpdatesViewModel::CheckForUpdatesViewModel(Updater& updater, QObject* parent)
    : QObject(parent), updater_(updater) {
    setCanCheckForUpdates(updater.canCheckForUpdates());
    connect(&updater, &Updater::canCheckForUpdatesChanged, this, &CheckForUpdatesViewModel::setCanCheckForUpdates);
}

void CheckForUpdatesViewModel::setCanCheckForUpdates(bool canCheck) {
    if (canCheck != canCheckForUpdates_) {
        canCheckForUpdates_ = canCheck;
        emit canCheckForUpdatesChanged(canCheck);
    }
}

} // namespace norvane::app
