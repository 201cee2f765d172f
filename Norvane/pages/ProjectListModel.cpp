#include "Norvane/pages/ProjectListModel.h"

#include <exception>

#include <QPointer>

#include "Norvane/LogCategories.h"
#include "platform/persistence/ModelContext.h"

namespace norvane::app {
namespace {

constexpr int externalChangeCheckMilliseconds = 1000;

} // namespace

ProjectListModel::ProjectListModel(std::shared_ptr<platform::ModelContainer> container, QObject* parent)
    : QObject(parent), container_(std::move(container)) {
    // Saves may happen on the collection thread: the fetch always runs here, on this object's thread.
    registration_ = container_->observe([self = QPointer<ProjectListModel>(this)](const platform::StoreChange&) {
        QMetaObject::invokeMethod(
            self.data(),
            [self] {
                if (self) self->reload();
            },
            Qt::QueuedConnection);
    });
    connect(&externalChanges_, &QTimer::timeout, this, [this] { container_->checkForExternalChanges(); });
    externalChanges_.start(externalChangeCheckMilliseconds);
    reload();
}

void ProjectListModel::reload() {
    try {
        // A fresh context, so that rows changed by another connection are read anew.
        auto context = std::make_shared<platform::ModelContext>(container_);
        auto projects = context->fetch<Project>({.sortBy = {platform::ascending(ProjectField::name)}});
        projects_ = std::move(projects);
        context_ = std::move(context);
    } catch (const std::exception& failure) {
        qCWarning(pagesLog, "Failed to fetch projects: %s", failure.what());
    }
    emit changed();
    loadCommitSummaries();
}

void ProjectListModel::loadCommitSummaries() {
    summaryLoader_.request(
        [container = container_] {
            const auto context = std::make_shared<platform::ModelContext>(container);
            CommitSummaries summaries;
            for (const auto& project : context->fetch<Project>())
                summaries[project->id] = project->latestCommitSummary();
            return summaries;
        },
        [this](std::optional<CommitSummaries> summaries, const QString& error) {
            if (!summaries) {
                qCWarning(pagesLog, "Failed to read the latest commits: %s", qUtf8Printable(error));
                return;
            }
            commitSummaries_ = std::move(*summaries);
            emit commitSummariesChanged();
        });
}

} // namespace norvane::app
