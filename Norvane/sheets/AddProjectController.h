#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <optional>

#include <QObject>
#include <QString>

#include "Norvane/state/AppState.h"

namespace norvane::app {

/// Adds a project and follows its first collection, for whoever shows it (the add-project sheet,
/// the first-run wizard's project step): the registration and the collection run as the
/// application state's collection, and this object holds what the view shows of them. Plain
/// state with signals; its owner keeps it as long as the view, and reports that arrive after it
/// has gone are dropped.
class AddProjectController : public QObject {
    Q_OBJECT

public:
    /// The stored project and its first count, once registered.
    struct AddedProject {
        QString name;
        QString path;
        std::optional<std::int64_t> codeLines;
        std::optional<std::int64_t> totalFiles;
    };

    explicit AddProjectController(AppState& appState,
                                  std::chrono::milliseconds closingPause = std::chrono::milliseconds(500),
                                  QObject* parent = nullptr);

    /// Registers `project` and runs its first collection. Refused with `errorMessage` set while
    /// another collection runs; does nothing while this one runs.
    void start(const NewProject& project);

    /// From `start` until the registration has answered.
    bool isAdding() const { return isAdding_; }
    /// From the registration until the pause after the first collection has passed.
    bool isImporting() const { return isImporting_; }
    /// Why the project could not be registered, or, while another program keeps the store locked,
    /// is not registered yet; cleared by the next `start` and by the registration.
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    /// The stage of the first collection, or, while another program keeps it waiting, that it waits.
    QString importStatus() const { return storeWait_.value_or(importStatus_); }
    /// The history import's progress, 0 to 1.
    double importProgress() const { return importProgress_; }
    int importCurrent() const { return importCurrent_; }
    /// The number of sampled commits; 0 until the import reports its first one.
    int importTotal() const { return importTotal_; }
    const std::optional<AddedProject>& addedProject() const { return addedProject_; }
    /// The first collection's failure, once the flow has ended.
    const std::optional<QString>& collectionError() const { return collectionError_; }
    /// After a failed first collection: that the project is registered all the same.
    QString registeredDespiteFailureText() const;

    /// The headline of one stage of the first collection.
    static QString statusText(const InitialCollectionProgress& stage);
    /// The form's text for a refused registration.
    static QString refusalMessage(const std::exception& refusal);

signals:
    /// Any of the values above changed.
    void changed();
    /// The first collection has returned and the pause after it has passed.
    void finished(bool succeeded);

private:
    void refused(const std::exception& refusal);
    /// Another program keeps the store locked: the add waits, and says so where it stands.
    void keptWaiting(const QString& why);
    void registered(const QString& name, const QString& path);
    void advance(const InitialCollectionProgress& stage);
    void collected(const NewProjectCollection& outcome);

    AppState& appState_;
    std::chrono::milliseconds closingPause_;
    bool isAdding_ = false;
    bool isImporting_ = false;
    std::optional<QString> errorMessage_;
    QString importStatus_;
    double importProgress_ = 0.0;
    int importCurrent_ = 0;
    int importTotal_ = 0;
    std::optional<AddedProject> addedProject_;
    std::optional<QString> collectionError_;
    /// Why the first collection waits, until the step that waited lands.
    std::optional<QString> storeWait_;
};

} // namespace norvane::app
