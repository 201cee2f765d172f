#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include "platform/FileDescriptor.h"

namespace norvane::app {

/// Keeps Norvane to one running copy per user. The first start holds a lock in the user's runtime
/// folder and listens on a local socket beside it; a later start finds the lock taken and asks
/// the running copy, over that socket, to bring its window to the front. A lock or a socket left
/// by a copy that crashed is taken over. A folder too deep for a socket's address keeps the socket
/// all the same.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    /// `folder` holds the lock and the socket; the default is the user's runtime folder.
    explicit SingleInstance(const QString& folder = runtimeFolder(), QObject* parent = nullptr);

    static QString runtimeFolder();

    /// True for the copy that holds the lock and answers later starts.
    bool isPrimary() const { return lock_.isLocked(); }
    /// From a later start: asks the running copy to show itself. False when it does not answer.
    bool activateRunningInstance() const;

signals:
    /// A later start asked this copy to bring its window to the front.
    void activationRequested();

private:
    /// The socket's path as this process can bind or reach it, within the length of an address.
    QString reachableSocketPath(const QString& folder);
    void listen();
    void answer(class QLocalSocket* connection);

    QString socketFile_;
    /// Held open while the socket is used when its path is too long to be its address.
    platform::FileDescriptor folderHandle_;
    QString socketPath_;
    QLockFile lock_;
    QLocalServer server_;
};

} // namespace norvane::app
