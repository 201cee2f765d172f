#pragma once

#include <QObject>

#include "Norvane/state/Updater.h"

namespace norvane::app {

/// Mirrors the updater's can-check flag for the menu item; correct from creation on, so the item
/// never shows enabled for a moment when no check may start.
class CheckForUpdatesViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)

public:
    explicit CheckForUpdatesViewModel(Updater& updater, QObject* parent = nullptr);

    bool canCheckForUpdates() const { return canCheckForUpdates_; }
    Updater& updater() const { return updater_; }

signals:
    void canCheckForUpdatesChanged(bool canCheckForUpdates);

private:
    void setCanCheckForUpdates(bool canCheck);

    bool canCheckForUpdates_ = false;
    Updater& updater_;
};

} // namespace norvane::app
