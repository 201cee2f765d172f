#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <thread>

#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "Norvane/settings/CaptionMessage.h"
#include "Norvane/settings/CocomoTab.h"
#include "Norvane/settings/CostSettingsSync.h"
#include "Norvane/settings/SettingsView.h"
#include "core/facade/NorvaneKit.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/StoredSettings.h"
#include "platform/persistence/ModelContext.h"
#include "tests/Norvane/pages/ControllerFixture.h"
#include "tests/Norvane/state/AppStateFakes.h"
#include "tests/Norvane/state/StoreHold.h"
#include "tests/core/collection/GitTestRepository.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ProcessWatch.h"
#include "tests/support/StoreHolder.h"

namespace norvane::app {
namespace {

using norvane::testing::StoreHolder;

/// The salary in the store, read as another program reads it: off the window's thread.
double storedWage() {
    return std::async(std::launch::async,
                      [] {
                          platform::ModelContext context(NorvaneDatabase::makeContainer());
                          const auto stored = StoredSettings::find(context);
                          return stored ? stored->averageWage : 0.0;
                      })
        .get();
}

template <typename Window>
Window* shown() {
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible()) return window;
    }
    return nullptr;
}

// Found with a program that kept the store's write lock (a database browser with changes not yet
// written) while the window ran: the window's thread waited for it in the lock wait, a salary typed
// meanwhile froze the window twice, and once the wait ran out the salary never reached the store.
TEST(StoreHeldElsewhere, TheWindowGoesOnAndASalaryTypedMeanwhileLandsOnceTheOtherProgramLetsGo) {
    ControllerFixture fixture(false);
    auto& costs = *fixture.controller->costSettings();
    costs.waitForWrites();
    testing::CapturedWarnings warnings;
    std::optional<StoreHolder> browser;
    browser.emplace(NorvaneDatabase::containerURL(), nullptr, "BEGIN IMMEDIATE");

    fixture.controller->showSettingsWindow();
    auto* settings = shown<SettingsView>();
    ASSERT_NE(settings, nullptr);
    auto& tab = settings->cocomoTab();
    settings->tabs().setCurrentWidget(&tab);
    tab.salaryField().selectAll();
    QTest::keyClicks(&tab.salaryField(), "187000");
    QTest::keyClick(&tab.salaryField(), Qt::Key_Return);
    settings->close();

    // Three turns of the store's watch, a tenth of the lock wait that the write waits out meanwhile.
    int turns = 0;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&turns] { ++turns; });
    turn.start(100);

    ASSERT_TRUE(QTest::qWaitFor([&] { return turns >= 30; }, 60'000));
    fixture.controller->showSettingsWindow();
    EXPECT_TRUE(settings->isVisible());
    EXPECT_EQ(costs.lastFailure().toStdString(), "") << "the window waited until the write had waited in vain";

    // Said once it waited in vain, on the window too, and tried again until the store is free.
    ASSERT_TRUE(QTest::qWaitFor([&] { return tab.storeMessage().isVisibleTo(&tab); }, 60'000));
    EXPECT_NE(tab.storeMessage().text().indexOf("it is stored once the other program lets go"), -1);
    settings->close();
    browser.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return costs.lastFailure().isEmpty(); }, 60'000));
    EXPECT_EQ(storedWage(), 187000.0);
    EXPECT_EQ(std::count_if(warnings.lines().begin(), warnings.lines().end(),
                            [](const QString& line) { return line.contains("cost parameters"); }),
              1);
}

/// The real controller, whose last write to the store is a collection of its own that a reader
/// keeps in the log beside the store: the project is added and collected once before the reader
/// holds, so that nothing else the window writes follows from the collection.
struct CollectionHeldInTheLog {
    norvane::testing::GitTestRepository repository;
    ControllerFixture fixture{false};
    std::optional<testing::StoreHold> reader;

    CollectionHeldInTheLog() {
        repository.writeFile("main.cpp", "int main() {}\n");
        repository.commit("Initial commit", norvane::testing::utc("2024-01-10T12:00:00Z"));
        auto& state = fixture.controller->appState();
        EXPECT_TRUE(
            state.addProjectAndCollect({"atlas", repository.pathString(), std::nullopt, ProjectType::organic}, {}));
        settle();
        reader.emplace(NorvaneDatabase::containerURL(), testing::StoreHold::readTransaction);
        EXPECT_TRUE(testing::finishes([&](auto done) { state.collectAllProjects(done); }));
        settle();
        EXPECT_GT(logSize(), 0U) << "the reader keeps the collection in the log";
    }
    ~CollectionHeldInTheLog() {
        reader.reset();
        auto& kit = NorvaneKit::shared();
        if (const auto project = kit.findProject("atlas")) kit.deleteProject(project);
    }

    void settle() const {
        auto& state = fixture.controller->appState();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !state.isCollecting() && !state.isRefreshingMetrics(); }, 60'000));
        fixture.controller->costSettings()->waitForWrites();
    }
    static std::uintmax_t logSize() {
        std::error_code gone;
        const auto size = std::filesystem::file_size(NorvaneDatabase::containerURL().string() + "-wal", gone);
        return gone ? 0 : size;
    }
    /// The project's code counts in a copy of the store file alone, as a backup that copies it holds.
    std::int64_t codeCountsInACopy() const {
        const auto copy = fixture.temporary.path() / "backup.store";
        std::filesystem::copy_file(NorvaneDatabase::containerURL(), copy);
        platform::Database backup(copy.string(), platform::Database::Access::readOnly);
        auto counts = backup.prepare("SELECT count(*) FROM snapshot s JOIN project p ON s.project = p.pk "
                                     "WHERE p.name = 'atlas' AND s.snapshotTypeRaw = 'scc'");
        counts.step();
        return std::get<std::int64_t>(counts.column(0));
    }

    /// Ends the controller; the reader lets go `holdingOn` into the close's first wait for it (the
    /// window's thread pausing between two tries), or once the ending is over. Whether the ending
    /// was over while the reader still held.
    bool endWhileTheReaderHoldsOn(std::chrono::milliseconds holdingOn) {
        std::atomic<bool> ended = false;
        bool endedWhileHeld = false;
        std::thread holder([&] {
            const pid_t windowThread = ::getpid();
            while (!ended && !norvane::testing::isSleeping(windowThread))
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            const auto lettingGo = std::chrono::steady_clock::now() + holdingOn;
            while (!ended && std::chrono::steady_clock::now() < lettingGo)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            endedWhileHeld = ended;
            reader->letGo();
        });
        fixture.controller.reset();
        ended = true;
        holder.join();
        return endedWhileHeld;
    }
};

// Found with a reader that held the store as the window ended after a collection: the collections'
// connection closed without waiting for it, and a backup made by copying the store file alone once
// the reader had let go lacked the collection. The reader here lets go 0.4 seconds into the
// close's wait, as a program that reads for a moment does: the close waits for it.
TEST(StoreHeldElsewhere, TheLastCollectionLeavesTheLogWhenAReaderLetsGoDuringTheEnding) {
    CollectionHeldInTheLog held;
    EXPECT_FALSE(held.endWhileTheReaderHoldsOn(std::chrono::milliseconds(400))) << "the close did not wait";
    EXPECT_EQ(CollectionHeldInTheLog::logSize(), 0U) << "the collection stayed in the log";
    EXPECT_EQ(held.codeCountsInACopy(), 2) << "the add's count and the collection's";
}

// The close waits for readers only for a moment: a reader that holds on (a database browser left
// open) keeps neither the ending nor the user waiting for it. Six seconds are well beyond the
// close's waits, also on a loaded machine.
TEST(StoreHeldElsewhere, TheEndingBesideAReaderThatHoldsOnEndsWhileItStillHolds) {
    CollectionHeldInTheLog held;
    EXPECT_TRUE(held.endWhileTheReaderHoldsOn(std::chrono::seconds(6))) << "the ending waited for the reader";
}

} // namespace
} // namespace norvane::app
