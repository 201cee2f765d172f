#include "Norvane/state/SingleInstance.h"

#include <algorithm>

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace norvane::app {
namespace {

const QByteArray activateMessage = QByteArrayLiteral("activate\n");
// A copy that has just taken the lock may still be setting up its socket.
constexpr int answerTimeoutMilliseconds = 3000;
constexpr int retryMilliseconds = 100;

} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), socketPath_(QDir(folder).filePath(QStringLiteral("Norvane.socket"))),
      lock_(QDir(folder).filePath(QStringLiteral("Norvane.lock"))) {
    QDir().mkpath(folder);
    // Never stale by age: a lock counts as left behind only when its process is gone.
    lock_.setStaleLockTime(0);
    if (lock_.tryLock()) listen();
}

QString SingleInstance::runtimeFolder() { return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation); }

void SingleInstance::listen() {
    // Holding the lock, any socket file here was left by a copy that ended without cleaning up.
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(socketPath_)) {
        qWarning("Norvane: cannot listen on %s: %s", qPrintable(socketPath_), qPrintable(server_.errorString()));
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
            qWarning("Norvane is already running but does not answer on %s", qPrintable(socketPath_));
            return false;
        }
        QThread::msleep(retryMilliseconds);
    }
    socket.write(activateMessage);
    return socket.waitForBytesWritten(int(std::max<qint64>(deadline.remainingTime(), retryMilliseconds)));
}

} // namespace norvane::app
