#include "Norvane/state/SingleInstance.h"

#include <filesystem>

#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include "tests/Norvane/state/TestApplication.h"
#include "tests/support/ProgramHome.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

constexpr int startTimeoutMilliseconds = 10'000;

/// The real application started as a user would, offscreen, in a temporary home, made in the
/// runtime folder so that this test reaches the socket by its plain path.
struct ApplicationStarts {
    norvane::testing::TemporaryFolder home{norvane::testing::ProgramHome::runtimeFolder()};
    QString socket = QString::fromStdString((home.path() / "runtime/Norvane.socket").string());

    ApplicationStarts() { norvane::testing::testApplication(); }

    std::unique_ptr<QProcess> start() const {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString folder = QString::fromStdString(home.path().string());
        environment.insert(QStringLiteral("HOME"), folder);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), folder + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), folder + QStringLiteral("/.cache"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder + QStringLiteral("/runtime"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QString::fromStdString(norvane::testing::builtProgram("Norvane").string()), {});
        process->waitForStarted();
        return process;
    }

    /// True once a running copy accepts connections on the socket.
    bool answers() const {
        return QTest::qWaitFor(
            [this] {
                QLocalSocket probe;
                probe.connectToServer(socket);
                return probe.waitForConnected(100);
            },
            startTimeoutMilliseconds);
    }
};

TEST(SingleInstance, ALaterStartHandsOverAndEndsAlsoAfterACrashedCopy) {
    ApplicationStarts starts;
    const auto crashed = starts.start();
    ASSERT_TRUE(starts.answers());
    crashed->kill();
    crashed->waitForFinished();
    ASSERT_TRUE(std::filesystem::exists(starts.socket.toStdString())) << "a crash leaves its socket behind";

    const auto running = starts.start();
    ASSERT_TRUE(starts.answers()) << "the socket left behind is taken over";
    const auto second = starts.start();
    ASSERT_TRUE(second->waitForFinished(startTimeoutMilliseconds)) << "a second copy kept running";
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(running->state(), QProcess::Running);

    running->terminate();
    running->waitForFinished();
}

} // namespace
} // namespace norvane::app
