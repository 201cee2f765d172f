#include "core/models/NorvaneDatabase.h"

#include "core/models/AppSettings.h"
#include "core/models/DailyActivity.h"
#include "core/models/DailyPortfolioSnapshot.h"
#include "core/models/ModelDailyActivity.h"
#include "core/models/SnapshotLanguage.h"
#include "platform/XdgPaths.h"
#include "platform/persistence/StoreError.h"

namespace norvane {

std::atomic<bool> NorvaneDatabase::isDevelopment{false};

const platform::Schema& NorvaneDatabase::schema() {
    static const platform::Schema schema{"1.0.0",
                                         {
                                             &Project::entity().info(),
                                             &Snapshot::entity().info(),
                                             &SnapshotLanguage::entity().info(),
                                             &DailyActivity::entity().info(),
                                             &AppSettings::entity().info(),
                                             &DailyPortfolioSnapshot::entity().info(),
                                             &ModelDailyActivity::entity().info(),
                                         }};
    return schema;
}

std::filesystem::path NorvaneDatabase::containerURL() {
    return platform::XdgPaths::dataHome() / (isDevelopment ? "Norvane-Dev" : "Norvane") / "norvane.store";
}

std::shared_ptr<platform::ModelContainer> NorvaneDatabase::makeContainer() { return makeContainer(containerURL()); }

std::shared_ptr<platform::ModelContainer> NorvaneDatabase::makeReadingContainer() {
    return makeContainer(containerURL(), platform::ModelContainer::Intent::readOnly);
}

std::shared_ptr<platform::ModelContainer> NorvaneDatabase::makeContainer(const std::filesystem::path& file,
                                                                         platform::ModelContainer::Intent intent) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) {
        throw platform::StoreError("Cannot create the folder " + file.parent_path().string() + ": " + error.message());
    }
    return platform::ModelContainer::open(file, schema(), intent);
}

std::shared_ptr<platform::ModelContainer> NorvaneDatabase::makeInMemoryContainer() {
    return platform::ModelContainer::inMemory(schema());
}

} // namespace norvane
