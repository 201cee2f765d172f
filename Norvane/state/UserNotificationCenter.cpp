#include "Norvane/state/UserNotificationCenter.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace norvane::app {
namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString notificationsPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr int serverDefaultTimeout = -1;

} // namespace

UserNotificationCenter::UserNotificationCenter(TrayMessage trayMessage, QDBusConnection bus, QObject* parent)
    : QObject(parent), trayMessage_(std::move(trayMessage)), bus_(std::move(bus)) {}

void UserNotificationCenter::post(const QString& title, const QString& body) {
    if (!bus_.isConnected()) {
        trayMessage_(title, body);
        return;
    }
    QDBusMessage notify = QDBusMessage::createMethodCall(service, notificationsPath, service, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("suppress-sound"), true}};
    notify << QStringLiteral("Norvane") << 0u << QString() << title << body << QStringList() << hints
           << serverDefaultTimeout;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, title, body] {
        watcher->deleteLater();
        if (watcher->isError()) {
            trayMessage_(title, body);
        }
    });
}

} // namespace norvane::app
