// Makes a demo store from repositories it creates, under a temporary home, opens the application
// on it and saves pictures of the main window, the menu-bar panel and the settings tabs, so that
// anyone can look at what a user sees: norvane-app-screenshots OUTPUT-FOLDER.

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include "Norvane/components/theme/DarkTheme.h"
#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/screenshots/AppScreenshots.h"
#include "Norvane/pages/screenshots/DemoPortfolio.h"
#include "Norvane/state/SingleInstance.h"
#include "core/facade/NorvaneKit.h"
#include "core/models/NorvaneDatabase.h"

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

constexpr const char* usage = "usage: norvane-app-screenshots OUTPUT-FOLDER\n";

/// The exit status of a command line that asks for the usage or that the program cannot take, after
/// saying so; none when it names one folder. A folder whose name starts with "-" is given as
/// "./-name".
std::optional<int> refusal(const std::vector<std::string>& arguments) {
    if (std::ranges::any_of(arguments,
                            [](const std::string& argument) { return argument == "-h" || argument == "--help"; })) {
        std::cout << usage
                  << "Makes a demo store from repositories it creates, under a temporary home, and saves pictures\n"
                     "of the main window, the menu-bar panel, the sheets, the settings tabs and the first-run\n"
                     "wizard into OUTPUT-FOLDER.\n";
        return EXIT_SUCCESS;
    }
    if (arguments.size() != 1) {
        std::cerr << "norvane-app-screenshots: "
                  << (arguments.empty() ? "the output folder is missing" : "one output folder only") << "\n"
                  << usage;
        return 2;
    }
    if (arguments.front().starts_with('-')) {
        std::cerr << "norvane-app-screenshots: unknown option " << arguments.front() << "\n" << usage;
        return 2;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    if (const auto status = refusal(std::vector<std::string>(argv + 1, argv + argc))) {
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
    ApplicationController controller(application, NorvaneDatabase::makeContainer(), instance);
    return takePictures(controller, output) ? EXIT_SUCCESS : EXIT_FAILURE;
}
