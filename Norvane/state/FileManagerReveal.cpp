#include "Norvane/state/FileManagerReveal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QStringList>
#include <QUrl>

namespace norvane::app {
namespace {

QUrl urlOf(const std::filesystem::path& path) { return QUrl::fromLocalFile(QString::fromStdString(path.string())); }

} // namespace

void FileManagerReveal::showItem(const std::filesystem::path& file) {
    const QUrl folder = urlOf(file.parent_path());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QDesktopServices::openUrl(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{urlOf(file).toString()} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [folder](QDBusPendingCallWatcher* finished) {
        if (finished->isError()) QDesktopServices::openUrl(folder);
        finished->deleteLater();
    });
}

void FileManagerReveal::showFolder(const std::filesystem::path& folder) { QDesktopServices::openUrl(urlOf(folder)); }

} // namespace norvane::app
