#include "tests/Norvane/sheets/SheetTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "Norvane/state/KitServices.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/LocalCalendar.h"
#include "platform/XdgPaths.h"
#include "tests/Norvane/state/AppStateFakes.h"
#include "tests/core/collection/CollectionFixture.h"

namespace norvane::app::testing {

void SheetTest::SetUp() {
    ComponentTest::SetUp();
    start(norvane::testing::builtInCounterOnly());
}

void SheetTest::restartWithoutCounter() {
    state_->waitForCollection();
    state_.reset();
    start(SccLookup{});
}

void SheetTest::TearDown() { state_->waitForCollection(); }

void SheetTest::start(const SccLookup& counter) {
    kit_ = std::make_unique<NorvaneKit>(NorvaneDatabase::makeContainer(), SccService(counter));
    const auto settings = std::make_shared<QSettings>(
        QString::fromStdString((platform::XdgPaths::homeFolder() / "settings.ini").string()), QSettings::IniFormat);
    AppState::Services services{std::make_shared<KitCollectionService>([this]() -> NorvaneKit& { return *kit_; }),
                                std::make_shared<FakeMetrics>(),
                                std::make_shared<FakeIndexClient>(),
                                std::make_shared<Preferences>(settings),
                                {},
                                {}};
    // The scheduler's first check waits out of the tests' way; what another program kept waiting is
    // tried again at once.
    state_ = std::make_unique<AppState>(std::move(services),
                                        AppState::Timing{std::chrono::milliseconds(0), std::chrono::hours(1),
                                                         std::chrono::hours(6), std::chrono::milliseconds(10)});
}

std::unique_ptr<norvane::testing::GitTestRepository> SheetTest::makeRepository() const {
    auto repository = std::make_unique<norvane::testing::GitTestRepository>();
    const auto today = platform::LocalCalendar::startOfDay(platform::currentDate());
    for (int days = 30; days >= 0; days -= 10) {
        repository->writeFile("src/file" + std::to_string(days) + ".cpp", "int value" + std::to_string(days) +
                                                                              "() {\n    return " +
                                                                              std::to_string(days) + ";\n}\n");
        repository->commit("Add file " + std::to_string(days),
                           platform::LocalCalendar::addingDays(today, -days) + std::chrono::hours(10));
    }
    return repository;
}

OpenStore::OpenStore() : kit_(std::make_unique<NorvaneKit>(NorvaneDatabase::makeContainer())) {
    kit_->addProject("atlas", projectFolder_.path().string(), std::nullopt, ProjectType::organic);
}

std::filesystem::path OpenStore::file() const { return NorvaneDatabase::containerURL(); }

std::string OpenStore::contents() const {
    return norvane::testing::readFile(file()) + norvane::testing::readFile(file().string() + "-wal");
}

bool OpenStore::holdsTheProject() const {
    try {
        return NorvaneKit(NorvaneDatabase::makeContainer(file())).findProject("atlas") != nullptr;
    } catch (const std::exception&) {
        return false;
    }
}

void typeInto(QWidget& field, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(&field)) line->clear();
    QTest::keyClicks(&field, text);
}

bool chooseInFileDialog(QWidget& owner, const QString& path) {
    for (auto* dialog : owner.findChildren<QFileDialog*>()) {
        if (!dialog->isVisible()) continue;
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
        return true;
    }
    return false;
}

bool replaceInFileDialog(QWidget& owner, const QString& path) {
    // The question is a modal box of its own, asked from inside the dialog's accept.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            question->button(QMessageBox::Yes)->click();
        }
    });
    answer.start(10);
    return chooseInFileDialog(owner, path);
}

bool waitUntilClosed(const QPointer<QDialog>& dialog) {
    return QTest::qWaitFor([&] { return !dialog || !dialog->isVisible(); }, 10'000);
}

} // namespace norvane::app::testing
