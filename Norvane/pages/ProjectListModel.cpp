#include "Norvane/pages/ProjectListModel.h"

#include <exception>

#include "Norvane/LogCategories.h"

namespace norvane::app {

ProjectListModel::ProjectListModel(NorvaneStore store, QObject* parent)
    : QObject(parent), store_(std::move(store)), changes_(store_) {
    connect(&changes_, &StoreChanges::changed, this, &ProjectListModel::reload);
    reload();
}

void ProjectListModel::reload() {
    try {
        projects_ = store_.listProjects();
    } catch (const std::exception& failure) {
        qCWarning(pagesLog, "Failed to fetch projects: %s", failure.what());
    }
    storeFailure_ = store_.openingFailure();
    if (storeFailure_) projects_.clear();
    emit changed();
}

} // namespace norvane::app
