#pragma once

#include <functional>

#include <QDBusConnection>
#include <QObject>
#include <QString>

namespace norvane::app {

/// Shows a title and a body at once through the desktop's notification service
/// (org.freedesktop.Notifications); where no such service answers, hands them to the tray icon.
class UserNotificationCenter : public QObject {
    Q_OBJECT

public:
    using TrayMessage = std::function<void(const QString& title, const QString& body)>;

    explicit UserNotificationCenter(TrayMessage trayMessage, QDBusConnection bus = QDBusConnection::sessionBus(),
                                    QObject* parent = nullptr);

    /// The freedesktop service needs no permission, so there is nothing to ask; kept so that
    /// start-up reads as on every platform.
    void requestAuthorization() const {}

    /// Posts one notification without sound; does not wait for the service.
    void post(const QString& title, const QString& body);

private:
    TrayMessage trayMessage_;
    QDBusConnection bus_;
};

} // namespace norvane::app
