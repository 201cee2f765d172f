#include "Norvane/state/SingleInstance.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/un.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace norvane::app {
namespace {

const QByteArray activateMessage = QByteArrayLiteral("activate\n");
// A copy that has just taken the lock may still be setting up its socket.
constexpr int answerTimeoutMilliseconds = 3000;
constexpr int retryMilliseconds = 100;
// Qt keeps room in a socket's address for the two null bytes of an abstract name.
constexpr qsizetype longestSocketPath = sizeof(sockaddr_un::sun_path) - 2;

} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), socketFile_(QDir(folder).filePath(QStringLiteral("Norvane.socket"))),
      lock_(QDir(folder).filePath(QStringLiteral("Norvane.lock"))) {
    QDir().mkpath(folder);
    socketPath_ = reachableSocketPath(folder);
    // Never stale by age: a lock counts as left behind only when its process is gone.
    lock_.setStaleLockTime(0);
    if (lock_.tryLock()) listen();
}

QString SingleInstance::runtimeFolder() { return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation); }

QString SingleInstance::reachableSocketPath(const QString& folder) {
    if (QFile::encodeName(socketFile_).size() <= longestSocketPath) return socketFile_;
    // Too long for a socket's address: the same file, in the same private folder, reached through
    // this process's own handle on the folder, which stays open as long as the socket is used.
    folderHandle_ =
        platform::FileDescriptor(::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folderHandle_.isOpen()) return socketFile_;
    return QStringLiteral("/proc/self/fd/%1/Norvane.socket").arg(folderHandle_.get());
}

void SingleInstance::listen() {
    // Holding the lock, any socket file here was left by a copy that ended without cleaning up.
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(socketPath_)) {
        qWarning("Norvane: cannot listen on %s: %s", qPrintable(socketFile_), qPrintable(server_.errorString()));
        return;
    }
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (auto* connection = server_.nextPendingConnection()) answer(connection);
    });
}

void SingleInstance::answer(QLocalSocket* connection) {
    connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
    connect(connection, &QLocalSocket::readyRead, this, [this, connection] {
        if (!connection->canReadLine()) return;
        if (connection->readLine() == activateMessage) emit activationRequested();
        connection->disconnectFromServer();
    });
}

bool SingleInstance::activateRunningInstance() const {
    const QDeadlineTimer deadline(answerTimeoutMilliseconds);
    QLocalSocket socket;
    while (true) {
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(retryMilliseconds)) break;
        if (deadline.hasExpired()) {
            qWarning("Norvane is already running but does not answer on %s", qPrintable(socketFile_));
            return false;
        }
        QThread::msleep(retryMilliseconds);
    }
    socket.write(activateMessage);
    return socket.waitForBytesWritten(int(std::max<qint64>(deadline.remainingTime(), retryMilliseconds)));
}

} // namespace norvane::app
