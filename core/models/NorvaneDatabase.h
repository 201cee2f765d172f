#pragma once

#include "platform/persistence/ModelContainer.h"

#include <atomic>
#include <filesystem>
#include <memory>

namespace norvane {

/// Where the store lives, which record types it holds under which schema version, and how a
/// container is opened on it.
class NorvaneDatabase {
public:
    NorvaneDatabase() = delete;

    /// Selects the "Norvane-Dev" folder; read at every call of `containerURL`.
    static std::atomic<bool> isDevelopment;

    /// Version 1.4.0: the seven record types and what the daily rows were booked from: where the
    /// repository's work tree begins, and the dates of commits counted on the day of a moment before them; a store of
    /// an older version is brought up to it when opened.
    static const platform::Schema& schema();
    /// $XDG_DATA_HOME/Norvane/norvane.store (or Norvane-Dev). Computed afresh; creates nothing.
    static std::filesystem::path containerURL();
    /// Creates the store folder when missing and opens a new container on the file; the folder and
    /// the store's files are for the user alone.
    static std::shared_ptr<platform::ModelContainer> makeContainer();
    /// `makeContainer` for a command that may make the store, such as the tool's `add`: a store
    /// deleted or moved away while the command runs is not made again, and every use then says what
    /// became of it, so that the command's work is never split between two files.
    static std::shared_ptr<platform::ModelContainer> makeContainerForOneCommand();
    /// The same for a caller that only reads: it reads even where nothing can be written beside
    /// the store (see `platform::ModelContainer::Intent::readOnly`). Where no store exists yet, it
    /// is an empty store in memory: reading leaves no folder or file behind.
    static std::shared_ptr<platform::ModelContainer> makeReadingContainer();
    /// `makeContainer` for a caller that changes only what is stored already, such as a project's
    /// figures: where no store exists yet, an empty store in memory, which leaves nothing behind.
    static std::shared_ptr<platform::ModelContainer> makeContainerIfStored();
    static std::shared_ptr<platform::ModelContainer> makeInMemoryContainer();
    /// A container on a store file elsewhere (tests, other front ends). A missing folder is made
    /// private; an existing one is left as it is, since it may be shared.
    static std::shared_ptr<platform::ModelContainer>
    makeContainer(const std::filesystem::path& file,
                  platform::ModelContainer::Intent intent = platform::ModelContainer::Intent::readAndWrite);

private:
    /// Whether the store's folder is Norvane's own, to be closed to others, or one the caller chose.
    enum class Folder { ownFolder, anyFolder };
    /// What opening does where there is no store file: make one, make one only at the first
    /// opening, or fail (for callers that make none, when the file they had open was deleted
    /// meanwhile).
    enum class Missing { create, createAtFirstOpening, refuse };

    /// Only a store that is surely not there counts as missing; any other doubt (a folder that
    /// cannot be searched) goes on to the opening, which says what is wrong.
    static bool isSurelyMissing(const std::filesystem::path& file);
    static std::shared_ptr<platform::ModelContainer>
    open(const std::filesystem::path& file, platform::ModelContainer::Intent intent, Folder folder, Missing missing);
    /// Makes the store's folder and files the user's alone, those of an earlier version too; a
    /// new store file is made empty for its owner first, so that SQLite's -wal and -shm beside it
    /// take its mode.
    static void keepPrivate(const std::filesystem::path& file, Folder folder);
};

} // namespace norvane
