#include "Norvane/pages/ProjectListModel.h"

#include <exception>
#include <variant>

#include "Norvane/LogCategories.h"
#include "Norvane/state/BackgroundWork.h"

namespace norvane::app {

ProjectListModel::ProjectListModel(NorvaneStore store, NorvaneStore watched, QObject* parent)
    : QObject(parent), store_(std::move(store)),
      retry_(pagesLog(), QStringLiteral("Failed to fetch projects"), [this] { reload(); }),
      changes_(std::move(watched)) {
    connect(&changes_, &StoreChanges::changed, this, &ProjectListModel::reload);
    reload();
}

ProjectListModel::ProjectListModel(NorvaneStore store, QObject* parent) : ProjectListModel(store, store, parent) {}

void ProjectListModel::reload() {
    retry_.cancel();
    const auto generation = ++generation_;
    try {
        take(store_.listProjects());
        return;
    } catch (const NorvaneStore::BusyError&) {
        readElsewhere(generation);
        return;
    } catch (const std::exception& failure) {
        qCWarning(pagesLog, "Failed to fetch projects: %s", failure.what());
    }
    take(std::nullopt);
}

void ProjectListModel::readElsewhere(std::uint64_t generation) {
    // The projects, or why another program kept the read waiting.
    using Read = std::variant<std::vector<ProjectListing>, QString>;
    runInBackground<Read>(
        this,
        [store = store_]() -> Read {
            try {
                return store.separateConnection().listProjects();
            } catch (const NorvaneStore::BusyError& error) {
                return QString::fromUtf8(error.what());
            }
        },
        [this, generation](std::optional<Read> read, const QString& error) {
            if (generation != generation_) return;
            if (read && std::holds_alternative<QString>(*read)) {
                retry_.keptWaiting(std::get<QString>(*read));
                return;
            }
            if (!read) qCWarning(pagesLog, "Failed to fetch projects: %s", qUtf8Printable(error));
            take(read ? std::optional(std::get<std::vector<ProjectListing>>(std::move(*read))) : std::nullopt);
        });
}

void ProjectListModel::take(std::optional<std::vector<ProjectListing>> projects) {
    retry_.ended();
    if (projects) projects_ = std::move(*projects);
    storeFailure_ = store_.openingFailure();
    if (storeFailure_) projects_.clear();
    emit changed();
}

} // namespace norvane::app
