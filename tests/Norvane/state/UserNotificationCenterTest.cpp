#include "Norvane/state/UserNotificationCenter.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

#include "tests/Norvane/state/TestApplication.h"
#include "tests/support/ProgramHome.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

constexpr int notificationWaitMilliseconds = 10'000;

/// A private message bus, so that no test reaches the desktop's own.
class PrivateBus {
public:
    PrivateBus() {
        const QString program = QStandardPaths::findExecutable("dbus-daemon");
        if (program.isEmpty()) {
            return;
        }
        const auto config = folder_.writeFile(
            "bus.conf", "<busconfig><type>session</type><listen>unix:dir=" + folder_.path().string() +
                            "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                            "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                            "<allow own=\"*\"/></policy></busconfig>");
        daemon_.start(program,
                      {"--config-file=" + QString::fromStdString(config.string()), "--print-address=1", "--nofork"});
        if (daemon_.waitForReadyRead(notificationWaitMilliseconds)) {
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        }
    }
    ~PrivateBus() {
        daemon_.terminate();
        daemon_.waitForFinished(notificationWaitMilliseconds);
    }

    bool isRunning() const { return !address_.isEmpty(); }
    QDBusConnection connect(const QString& name) const { return QDBusConnection::connectToBus(address_, name); }

private:
    // The bus listens in the runtime folder, where its socket's path fits.
    testing::TemporaryFolder folder_{testing::ProgramHome::runtimeFolder()};
    QProcess daemon_;
    QString address_;
};

/// Stands in for the desktop's notification service and keeps what it is asked to show.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout) {
        calls << QStringList{appName,           QString::number(replacesId),   appIcon, summary, body,
                             actions.join(","), QString::number(expireTimeout)};
        lastHints = hints;
        emit notified();
        return 1;
    }

signals:
    void notified();

public:
    QList<QStringList> calls;
    QVariantMap lastHints;
};

struct TrayRecorder {
    UserNotificationCenter::TrayMessage callback() {
        return [this](const QString& title, const QString& body) { messages << title + ": " + body; };
    }
    QStringList messages;
};

TEST(UserNotificationCenter, PostsThroughTheNotificationService) {
    testing::testApplication();
    PrivateBus bus;
    if (!bus.isRunning()) {
        GTEST_SKIP() << "dbus-daemon is not available";
    }
    QDBusConnection serviceSide = bus.connect("notification-service");
    FakeNotificationService service;
    ASSERT_TRUE(
        serviceSide.registerObject("/org/freedesktop/Notifications", &service, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(serviceSide.registerService("org.freedesktop.Notifications"));
    TrayRecorder tray;
    UserNotificationCenter center(tray.callback(), bus.connect("application-side"));
    center.requestAuthorization();

    QSignalSpy spy(&service, &FakeNotificationService::notified);
    center.post("Norvane", "Metrics collection completed");
    ASSERT_TRUE(spy.wait(notificationWaitMilliseconds));
    ASSERT_EQ(service.calls.size(), 1);
    EXPECT_EQ(service.calls[0], (QStringList{"Norvane", "0", "", "Norvane", "Metrics collection completed", "", "-1"}));
    EXPECT_EQ(service.lastHints.value("suppress-sound"), QVariant(true));
    QCoreApplication::processEvents();
    EXPECT_TRUE(tray.messages.isEmpty());
    QDBusConnection::disconnectFromBus("notification-service");
    QDBusConnection::disconnectFromBus("application-side");
}

TEST(UserNotificationCenter, FallsBackToTheTrayWithoutABusOrAService) {
    testing::testApplication();
    testing::TemporaryFolder folder;
    TrayRecorder tray;
    const QString address = QString::fromStdString("unix:path=" + (folder.path() / "no-bus").string());
    UserNotificationCenter withoutBus(tray.callback(), QDBusConnection::connectToBus(address, "no-bus"));
    withoutBus.post("Norvane", "Metrics collection completed");
    EXPECT_EQ(tray.messages, QStringList{"Norvane: Metrics collection completed"});
    QDBusConnection::disconnectFromBus("no-bus");

    PrivateBus bus;
    if (!bus.isRunning()) {
        GTEST_SKIP() << "dbus-daemon is not available";
    }
    UserNotificationCenter withoutService(tray.callback(), bus.connect("lonely-application"));
    withoutService.post("Norvane", "Metrics collection completed");
    EXPECT_TRUE(QTest::qWaitFor([&] { return tray.messages.size() == 2; }, notificationWaitMilliseconds));
    EXPECT_EQ(tray.messages, QStringList(2, "Norvane: Metrics collection completed"));
    QDBusConnection::disconnectFromBus("lonely-application");
}

} // namespace
} // namespace norvane::app

#include "UserNotificationCenterTest.moc"
