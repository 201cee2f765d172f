#include "Norvane/sheets/AddProjectController.h"

#include <QPointer>
#include <QTimer>

#include "Norvane/components/text/NumberText.h"
#include "core/models/NorvaneError.h"

namespace norvane::app {
namespace {

template <typename... Stages>
struct Overloaded : Stages... {
    using Stages::operator()...;
};

} // namespace

AddProjectController::AddProjectController(AppState& appState, std::chrono::milliseconds closingPause, QObject* parent)
    : QObject(parent), appState_(appState), closingPause_(closingPause) {}

void AddProjectController::start(const NewProject& project) {
    if (isAdding_ || isImporting_) return;
    QPointer self(this);
    const auto name = QString::fromStdString(project.name);
    const bool started = appState_.addProjectAndCollect(project, {[self](const std::exception& refusal) {
                                                                      if (self) self->refused(refusal);
                                                                  },
                                                                  [self, name](const QString& path) {
                                                                      if (self) self->registered(name, path);
                                                                  },
                                                                  [self](const InitialCollectionProgress& stage) {
                                                                      if (self) self->advance(stage);
                                                                  },
                                                                  [self](const NewProjectCollection& outcome) {
                                                                      if (self) self->collected(outcome);
                                                                  },
                                                                  [self](const QString& why) {
                                                                      if (self) self->keptWaiting(why);
                                                                  }});
    errorMessage_ = started ? std::nullopt
                            : std::optional(QStringLiteral("A collection is running. Add the project when it has "
                                                           "finished."));
    isAdding_ = started;
    emit changed();
}

void AddProjectController::refused(const std::exception& refusal) {
    errorMessage_ = refusalMessage(refusal);
    isAdding_ = false;
    emit changed();
}

void AddProjectController::keptWaiting(const QString& why) {
    if (isAdding_) {
        errorMessage_ = why + QStringLiteral("; the project is added once the other program lets go");
    } else {
        storeWait_ = why + QStringLiteral("; the add goes on once the other program lets go");
    }
    emit changed();
}

void AddProjectController::registered(const QString& name, const QString& path) {
    errorMessage_.reset();
    addedProject_ = AddedProject{name, path, std::nullopt, std::nullopt};
    isAdding_ = false;
    isImporting_ = true;
    importStatus_ = QStringLiteral("Analyzing code...");
    emit changed();
}

void AddProjectController::advance(const InitialCollectionProgress& stage) {
    importStatus_ = statusText(stage);
    // A step tried again says where it stands only once it has landed: until then it waits.
    using namespace InitialCollectionStage;
    if (!std::holds_alternative<Starting>(stage) && !std::holds_alternative<RunningScc>(stage) &&
        !std::holds_alternative<ImportingHistory>(stage)) {
        storeWait_.reset();
    }
    if (const auto* importing = std::get_if<ImportingHistory>(&stage)) {
        importCurrent_ = importing->current;
        importTotal_ = importing->total;
        importProgress_ = importing->total > 0 ? double(importing->current) / double(importing->total) : 0.0;
    } else if (std::holds_alternative<HistoryComplete>(stage)) {
        importProgress_ = 1.0;
    }
    emit changed();
}

void AddProjectController::collected(const NewProjectCollection& outcome) {
    addedProject_->codeLines = outcome.codeLines;
    addedProject_->totalFiles = outcome.totalFiles;
    QTimer::singleShot(closingPause_, this, [this, outcome] {
        isImporting_ = false;
        collectionError_ = outcome.error;
        if (outcome.error) importStatus_ = QStringLiteral("Error: ") + *outcome.error;
        emit changed();
        emit finished(!outcome.error);
    });
}

QString AddProjectController::registeredDespiteFailureText() const {
    if (!addedProject_) return {};
    return QStringLiteral("The project '%1' is registered. Collect it again from its page.").arg(addedProject_->name);
}

QString AddProjectController::statusText(const InitialCollectionProgress& stage) {
    using namespace InitialCollectionStage;
    return std::visit(
        Overloaded{
            [](const Starting&) { return QStringLiteral("Starting..."); },
            [](const RunningScc&) { return QStringLiteral("Analyzing code..."); },
            [](const SccComplete& done) {
                return QStringLiteral("Found %1 lines of code").arg(formatNumber(done.lines));
            },
            [](const ImportingHistory&) { return QStringLiteral("Importing git history..."); },
            [](const HistoryComplete& done) { return QStringLiteral("Imported %1 snapshots").arg(done.snapshots); },
            [](const Complete&) { return QStringLiteral("Complete!"); },
            [](const Error& failure) { return QStringLiteral("Error: ") + QString::fromStdString(failure.message); },
        },
        stage);
}

QString AddProjectController::refusalMessage(const std::exception& refusal) {
    const auto* error = dynamic_cast<const NorvaneError*>(&refusal);
    if (error && error->kind() == NorvaneError::Kind::pathNotFound) {
        return QStringLiteral("Path does not exist: ") + QString::fromStdString(error->value());
    }
    return QString::fromStdString(refusal.what());
}

} // namespace norvane::app
