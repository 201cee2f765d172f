#pragma once

#include "tests/support/ProgramHome.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QThreadPool>

namespace norvane::testing {

/// Waits for the thread pool's works once the tests have run, as the application's end does when its
/// QApplication goes: the test program's QApplication is never destroyed, and a work still running
/// (a page's load) would otherwise meet the program's statics as they are destroyed.
class ThreadPoolDrain : public ::testing::Environment {
public:
    void TearDown() override { QThreadPool::globalInstance()->waitForDone(); }
};

/// The one QApplication of a test program, made on first use and kept until the process ends.
inline QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "norvane-tests";
    static char* argv[] = {name, nullptr};
    static auto* application = [] {
        auto* made = new QApplication(argc, argv);
        ::testing::AddGlobalTestEnvironment(new ThreadPoolDrain);
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
