#pragma once

#include <QApplication>

namespace norvane::testing {

/// The one QApplication of a test program, made on first use and kept until the process ends.
inline QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "norvane-tests";
    static char* argv[] = {name, nullptr};
    static auto* application = new QApplication(argc, argv);
    return *application;
}

} // namespace norvane::testing
