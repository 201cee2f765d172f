#include "core/models/NorvaneDatabase.h"

#include "core/models/AppSettings.h"
#include "core/models/BookedCommitRecord.h"
#include "core/models/BookedHistory.h"
#include "core/models/DailyActivity.h"
#include "core/models/DailyPortfolioSnapshot.h"
#include "core/models/ModelDailyActivity.h"
#include "core/models/SnapshotLanguage.h"
#include "core/models/StoreUpgrade.h"
#include "platform/PrivateFiles.h"
#include "platform/XdgPaths.h"
#include "platform/persistence/StoreError.h"

namespace norvane {

std::atomic<bool> NorvaneDatabase::isDevelopment{false};

const platform::Schema& NorvaneDatabase::schema() {
    // A new version whenever a program that reads the one before would write this store wrongly.
    static const platform::Schema schema{"1.4.0",
                                         {
                                             &Project::entity().info(),
                                             &Snapshot::entity().info(),
                                             &SnapshotLanguage::entity().info(),
                                             &DailyActivity::entity().info(),
                                             &AppSettings::entity().info(),
                                             &DailyPortfolioSnapshot::entity().info(),
                                             &ModelDailyActivity::entity().info(),
                                             &BookedHistory::entity().info(),
                                             &BookedCommitRecord::entity().info(),
                                         },
                                         StoreUpgrade::upgrade};
    return schema;
}

std::filesystem::path NorvaneDatabase::containerURL() {
    return platform::XdgPaths::dataHome() / (isDevelopment ? "Norvane-Dev" : "Norvane") / "norvane.store";
}

std::shared_ptr<platform::ModelContainer> NorvaneDatabase::makeContainer() {
    return open(containerURL(), platform::ModelContainer::Intent::readAndWrite, Folder::ownFolder, Missing::create);
}

std::shared_ptr<platform::ModelContainer> NorvaneDatabase::makeContainerForOneCommand() {
    return open(containerURL(), platform::ModelContainer::Intent::readAndWrite, Folder::ownFolder,
                Missing::createAtFirstOpening);
}

std::shared_ptr<platform::ModelContainer> NorvaneDatabase::makeReadingContainer() {
    const auto file = containerURL();
    if (isSurelyMissing(file)) {
        return makeInMemoryContainer();
    }
    return open(file, platform::ModelContainer::Intent::readOnly, Folder::ownFolder, Missing::refuse);
}

std::shared_ptr<platform::ModelContainer> NorvaneDatabase::makeContainerIfStored() {
    const auto file = containerURL();
    if (isSurelyMissing(file)) {
        return makeInMemoryContainer();
    }
    return open(file, platform::ModelContainer::Intent::readAndWrite, Folder::ownFolder, Missing::refuse);
}

bool NorvaneDatabase::isSurelyMissing(const std::filesystem::path& file) {
    // A link that leads where nothing is is no store either: opening it would make one there.
    std::error_code error;
    return std::filesystem::status(file, error).type() == std::filesystem::file_type::not_found;
}

std::shared_ptr<platform::ModelContainer> NorvaneDatabase::makeContainer(const std::filesystem::path& file,
                                                                         platform::ModelContainer::Intent intent) {
    return open(file, intent, Folder::anyFolder, Missing::create);
}

std::shared_ptr<platform::ModelContainer> NorvaneDatabase::open(const std::filesystem::path& file,
                                                                platform::ModelContainer::Intent intent, Folder folder,
                                                                Missing missing) {
    // Run again whenever the file at the path is opened anew, as after it was deleted.
    return platform::ModelContainer::open(
        file, schema(), intent, [folder, missing, first = true](const std::filesystem::path& opened) mutable {
            const bool mayCreate = missing == Missing::create || (missing == Missing::createAtFirstOpening && first);
            first = false;
            if (!mayCreate && isSurelyMissing(opened)) throw platform::StoreMovedError::deleted(opened.string());
            keepPrivate(opened, folder);
        });
}

void NorvaneDatabase::keepPrivate(const std::filesystem::path& file, Folder folder) {
    const auto reason = [](const std::filesystem::filesystem_error& error) {
        return error.path1().string() + ": " + error.code().message();
    };
    try {
        platform::PrivateFiles::createFolder(file.parent_path());
    } catch (const std::filesystem::filesystem_error& error) {
        throw platform::StoreError("Cannot create the folder " + reason(error));
    }
    // A store placed elsewhere may sit in a shared folder such as /tmp, which is not ours to close.
    if (folder == Folder::ownFolder) platform::PrivateFiles::tighten(file.parent_path());
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        platform::PrivateFiles::tighten(file.string() + suffix);
    }
    try {
        platform::PrivateFiles::createFile(file);
    } catch (const std::filesystem::filesystem_error& error) {
        throw platform::StoreError("Cannot create the store " + reason(error));
    }
}

std::shared_ptr<platform::ModelContainer> NorvaneDatabase::makeInMemoryContainer() {
    return platform::ModelContainer::inMemory(schema());
}

} // namespace norvane
