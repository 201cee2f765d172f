#pragma once

#include "tests/support/ProgramHome.h"

#include <QApplication>
#include <QSettings>

namespace norvane::testing {

/// The one QApplication of a test program, made on first use and kept until the process ends.
inline QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "norvane-tests";
    static char* argv[] = {name, nullptr};
    static auto* application = [] {
        auto* made = new QApplication(argc, argv);
        // Qt reads where its settings go once per program: into the program's home, not the home of
        // the test that comes first, which goes with that test while Qt writes on (the file dialogs).
        const auto folder = QString::fromStdString((ProgramHome::folder().path() / ".config").string());
        for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
            QSettings::setPath(format, QSettings::UserScope, folder);
        }
        return made;
    }();
    return *application;
}

} // namespace norvane::testing
