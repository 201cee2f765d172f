#include "Norvane/pages/ProjectListModel.h"

#include <exception>

#include <QPointer>

#include "Norvane/LogCategories.h"

namespace norvane::app {
namespace {

constexpr int externalChangeCheckMilliseconds = 1000;

} // namespace

ProjectListModel::ProjectListModel(NorvaneStore store, QObject* parent) : QObject(parent), store_(std::move(store)) {
    // Saves may happen on the collection thread: the read always runs here, on this object's thread.
    observation_ = store_.observe([self = QPointer<ProjectListModel>(this)] {
        QMetaObject::invokeMethod(
            self.data(),
            [self] {
                if (self) self->reload();
            },
            Qt::QueuedConnection);
    });
    connect(&externalChanges_, &QTimer::timeout, this, [this] { store_.checkForExternalChanges(); });
    externalChanges_.start(externalChangeCheckMilliseconds);
    reload();
}

void ProjectListModel::reload() {
    try {
        projects_ = store_.listProjects();
    } catch (const std::exception& failure) {
        qCWarning(pagesLog, "Failed to fetch projects: %s", failure.what());
    }
    emit changed();
}

} // namespace norvane::app
