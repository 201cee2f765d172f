#include <cstdio>
#include <cstdlib>
#include <exception>

#include <QApplication>

#include "Norvane/components/theme/DarkTheme.h"
#include "Norvane/pages/ApplicationController.h"
#include "core/models/NorvaneDatabase.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Norvane"));
    QApplication::setApplicationName(QStringLiteral("Norvane"));
    // The tray panel and the windows come and go; only "Quit" ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    norvane::app::DarkTheme::apply(application);

    std::shared_ptr<norvane::platform::ModelContainer> container;
    try {
        container = norvane::NorvaneDatabase::makeContainer();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Failed to create ModelContainer: %s\n", error.what());
        std::abort();
    }
    norvane::app::ApplicationController controller(application, container);
    return QApplication::exec();
}
