#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QIcon>
#include <QSettings>

#include "Norvane/components/theme/DarkTheme.h"
#include "Norvane/pages/ApplicationController.h"
#include "Norvane/state/ApplicationEnding.h"
#include "Norvane/state/DisplayServer.h"
#include "Norvane/state/LaunchdManager.h"
#include "Norvane/state/Preferences.h"
#include "Norvane/state/SingleInstance.h"
#include "platform/ChildProcesses.h"

int main(int argc, char* argv[]) {
    if (!norvane::app::DisplayServer::reachable(argc, argv)) {
        std::fputs("Norvane: cannot open a display: neither DISPLAY nor WAYLAND_DISPLAY leads to one\n", stderr);
        return EXIT_FAILURE;
    }
    norvane::app::ApplicationController::limitHeldMemory();
    // Ended by a signal, the application ends the counter and git that it started as well.
    norvane::platform::ChildProcesses::stopOnTerminationSignals();
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Norvane"));
    QApplication::setApplicationName(QStringLiteral("Norvane"));
    // The installed menu entry and icon carry this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("norvane"));
    // The user's alone before anything more is written, those an earlier version made too.
    norvane::app::Preferences::keepFilePrivate(QSettings());
    norvane::app::ApplicationController::keepFileDialogHistoryPrivate();
    norvane::app::LaunchdManager().keepFilesPrivate();
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("norvane"), QIcon(QStringLiteral(":/icons/norvane-80.png"))));
    norvane::app::DarkTheme::apply(application);
    // A second start only brings the running copy to the front, before it touches the store.
    norvane::app::SingleInstance instance;
    if (!instance.isPrimary()) return instance.activateRunningInstance() ? EXIT_SUCCESS : EXIT_FAILURE;

    // Ended by a signal (a logout, `kill`), Ctrl+Q or Quit alike: the store closes with its log emptied.
    norvane::app::ApplicationEnding ending(application);
    auto stores = norvane::app::ApplicationController::openStore(ending);
    if (!stores) return ending.isUnderway() ? EXIT_SUCCESS : EXIT_FAILURE;
    norvane::app::ApplicationController controller(application, std::move(*stores), instance, ending);
    // An ending while the windows were made found no event loop to leave.
    if (ending.isUnderway()) return EXIT_SUCCESS;
    return QApplication::exec();
}
