#pragma once

#include <memory>
#include <optional>

#include <QApplication>
#include <QSettings>
#include <QTimer>

#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/state/ApplicationEnding.h"
#include "Norvane/state/SingleInstance.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/XdgPaths.h"
#include "tests/Norvane/pages/ApplicationHome.h"
#include "tests/Norvane/state/TestApplication.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {

constexpr int stillRunning = 7;

/// The real controller over a store in the temporary home, on a desktop with or without a tray.
struct ControllerFixture {
    const norvane::testing::TemporaryFolder& home = norvane::testing::applicationHome();
    norvane::testing::TemporaryFolder temporary;
    // Deeper than a socket's address reaches: the instance's socket works there all the same.
    QString runtime = QString::fromStdString((temporary.path() / std::string(100, 'r')).string());
    QApplication& application = norvane::testing::testApplication();
    bool trayAvailable;
    SingleInstance instance{runtime};
    ApplicationEnding ending{application};
    /// The built tool beside the test program, linked into a bin folder of the fixture's own, which
    /// is the only one on the tool's search path: never the install bin folder of the build.
    CommandLineTool tool{platform::XdgPaths::executableFolder(), temporary.path() / "bin/norvane",
                         (temporary.path() / "bin").string()};
    std::unique_ptr<ApplicationController> controller;

    /// `onboardingDone` is stored first when given; the stored flag is left as it is otherwise.
    explicit ControllerFixture(bool tray = true, std::optional<bool> onboardingDone = true) : trayAvailable(tray) {
        if (onboardingDone) QSettings().setValue(QStringLiteral("hasCompletedOnboarding"), *onboardingDone);
        controller = std::make_unique<ApplicationController>(
            application, ApplicationController::Stores::open(), instance, ending, [this] { return trayAvailable; },
            tool);
        QCoreApplication::processEvents();
    }
    DashboardView* window() const {
        for (auto* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<DashboardView*>(widget); found && found->isVisible()) return found;
        }
        return nullptr;
    }

    /// Closes the main window as its close button would, inside the event loop; the exit status
    /// of that loop, or `stillRunning` when the program went on once the last window had closed.
    int closeMainWindow() {
        // Connected after the controller's own handler: by then it has ended the program or gone on.
        const QObject context;
        QObject::connect(&application, &QGuiApplication::lastWindowClosed, &context, [this] {
            if (!ending.isUnderway()) QCoreApplication::exit(stillRunning);
        });
        QTimer::singleShot(0, window(), &QWidget::close);
        return QApplication::exec();
    }
};

} // namespace norvane::app
