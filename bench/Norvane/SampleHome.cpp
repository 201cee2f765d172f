#include "bench/Norvane/SampleHome.h"

#include "Norvane/components/theme/DarkTheme.h"
#include "bench/support/PortfolioSeed.h"
#include "core/models/DailyActivity.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/Snapshot.h"
#include "core/models/SnapshotLanguage.h"

#include <QApplication>
#include <QSettings>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace norvane::app {
namespace {

void addTodaysCount(platform::ModelContext& context, const std::shared_ptr<Project>& project, int p) {
    auto snapshot = Snapshot::create(project);
    snapshot->codeLines = 20'000 + 500 * p;
    context.insert(snapshot);
    for (const char* language : {"C++", "Python", "Markdown"}) {
        context.insert(SnapshotLanguage::create(language, snapshot));
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
    platform::ModelContext context(NorvaneDatabase::makeContainer());
    const auto projects = PortfolioSeed::fill(context);
    for (std::size_t p = 0; p < projects.size(); ++p) addTodaysCount(context, projects[p], static_cast<int>(p));
    // A developer who commits to most projects on most days: every row but one in five.
    int row = 0;
    for (const auto& activity : context.fetch<DailyActivity>())
        activity->commitCount = ++row % 5 == 0 ? 0 : 1 + row % 3;
    context.save();
}

void SampleHome::prepare(QApplication& application) {
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
