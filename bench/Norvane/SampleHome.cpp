#include "bench/Norvane/SampleHome.h"

#include "Norvane/components/theme/DarkTheme.h"
#include "Norvane/pages/ApplicationController.h"
#include "bench/support/PortfolioSeed.h"
#include "core/models/NorvaneDatabase.h"

#include <QApplication>
#include <QSettings>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace norvane::app {
namespace {

/// Fills the store in a child process and waits for it.
void seedInChild(const PortfolioShape& shape) {
    const pid_t child = fork();
    if (child == 0) {
        try {
            PortfolioSeed::seedStore(NorvaneDatabase::containerURL(), shape);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "seeding failed: %s\n", error.what());
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the sample store could not be filled");
    }
}

} // namespace

SampleHome::SampleHome(const std::string& name)
    : folder_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(folder_);
    ::setenv("HOME", folder_.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (folder_ / ".local/share").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (folder_ / ".config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (folder_ / "runtime").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    seedInChild(PortfolioShape::chosen());
}

void SampleHome::prepare(QApplication& application) {
    ApplicationController::limitHeldMemory();
    QApplication::setOrganizationName(QStringLiteral("Norvane"));
    QApplication::setApplicationName(QStringLiteral("Norvane"));
    DarkTheme::apply(application);
    QSettings().setValue(QStringLiteral("hasCompletedOnboarding"), true);
}

SampleHome::~SampleHome() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

} // namespace norvane::app
