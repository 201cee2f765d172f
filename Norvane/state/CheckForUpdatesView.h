#pragma once

#include <QAction>

#include "Norvane/state/CheckForUpdatesViewModel.h"

namespace norvane::app {

/// The "Check for Updates..." menu item: enabled while its model says a check may start; choosing
/// it starts one.
class CheckForUpdatesView : public QAction {
    Q_OBJECT

public:
    /// Takes ownership of `checkForUpdatesViewModel`.
    explicit CheckForUpdatesView(CheckForUpdatesViewModel* checkForUpdatesViewModel, QObject* parent = nullptr);

    CheckForUpdatesViewModel& checkForUpdatesViewModel() const { return *checkForUpdatesViewModel_; }

private:
    CheckForUpdatesViewModel* checkForUpdatesViewModel_;
};

} // namespace norvane::app
