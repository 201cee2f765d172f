// Makes a demo store from repositories it creates, under a temporary home, opens the application
// on it and saves pictures of the main window, the menu-bar panel and the settings tabs, so that
// anyone can look at what a user sees: norvane-app-screenshots OUTPUT-FOLDER.

#include <cstdlib>
#include <exception>
#include <iostream>

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include "Norvane/components/theme/DarkTheme.h"
#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/screenshots/AppScreenshots.h"
#include "Norvane/pages/screenshots/DemoPortfolio.h"
#include "Norvane/state/ApplicationEnding.h"
#include "Norvane/state/SingleInstance.h"
#include "core/facade/NorvaneKit.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/ProgramArguments.h"

using namespace norvane;
using namespace norvane::app;

namespace {

/// Points everything that reads the home folder at `home`, before anything reads it.
void useHome(const QString& home) {
    const auto set = [](const char* name, const QString& value) { ::setenv(name, value.toUtf8().constData(), 1); };
    set("HOME", home);
    set("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    set("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    set("XDG_CACHE_HOME", home + QStringLiteral("/.cache"));
    set("GIT_CONFIG_NOSYSTEM", QStringLiteral("1"));
}

bool takePictures(ApplicationController& controller, const QDir& output) {
    int saved = 0;
    int failed = 0;
    AppScreenshots::stage(controller, [&](const QString& name, QWidget& widget) {
        const QString path = output.filePath(name);
        if (!widget.grab().save(path)) {
            std::cerr << "could not write " << path.toStdString() << '\n';
            ++failed;
            return;
        }
        std::cout << path.toStdString() << '\n';
        ++saved;
    });
    if (saved + failed == 0) std::cerr << "the main window did not open\n";
    return saved > 0 && failed == 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const platform::ProgramArguments usage(
        argc, argv,
        {"usage: norvane-app-screenshots OUTPUT-FOLDER\n",
         "Makes a demo store from repositories it creates, under a temporary home, and saves pictures\n"
         "of the main window, the menu-bar panel, the sheets, the settings tabs and the first-run\n"
         "wizard into OUTPUT-FOLDER.\n"});
    if (const auto status = usage.refusal(1, 1)) {
        return *status;
    }
    QTemporaryDir home;
    if (!home.isValid()) {
        std::cerr << "could not make a temporary home: " << home.errorString().toStdString() << '\n';
        return EXIT_FAILURE;
    }
    useHome(home.path());
    try {
        DemoPortfolio::create(home.filePath(QStringLiteral("repositories")).toStdString(), NorvaneKit::shared());
    } catch (const std::exception& error) {
        std::cerr << "could not make the demo store: " << error.what() << '\n';
        return EXIT_FAILURE;
    }

    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Norvane"));
    QApplication::setApplicationName(QStringLiteral("Norvane"));
    DarkTheme::apply(application);
    // The first-run wizard would cover the window.
    QSettings().setValue(QStringLiteral("hasCompletedOnboarding"), true);

    const QDir output(QString::fromLocal8Bit(argv[1]));
    if (!output.mkpath(QStringLiteral("."))) {
        std::cerr << "could not make " << argv[1] << '\n';
        return EXIT_FAILURE;
    }
    SingleInstance instance(home.filePath(QStringLiteral("runtime")));
    ApplicationEnding ending(application);
    ApplicationController controller(application, ApplicationController::Stores::open(), instance, ending);
    return takePictures(controller, output) ? EXIT_SUCCESS : EXIT_FAILURE;
}
