#include "Norvane/sheets/AddProjectSheet.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/ProgressTrack.h"
#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/ProjectListModel.h"
#include "Norvane/pages/SheetDialog.h"
#include "Norvane/pages/Sidebar.h"
#include "Norvane/sheets/ExportSheet.h"
#include "Norvane/sheets/OnboardingView.h"
#include "Norvane/sheets/ShareSummarySheet.h"
#include "Norvane/sheets/ShareableSummaryView.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/XdgPaths.h"
#include "tests/Norvane/sheets/SheetTestSupport.h"
#include "tests/Norvane/state/StoreHold.h"

namespace norvane::app {
namespace {

class AddProjectSheetTest : public testing::SheetTest {};

TEST_F(AddProjectSheetTest, AddsARepositoryFromTheSidebarFollowsItsHistoryAndTheSidebarListsIt) {
    const auto repository = makeRepository();
    ProjectListModel projects(NorvaneDatabase::makeContainer());
    DashboardView window(appState(), projects);
    window.show();
    QTest::mouseClick(window.sidebar().findChild<QPushButton*>("addProject"), Qt::LeftButton);
    QPointer<QDialog> dialog = qobject_cast<QDialog*>(window.addProjectSheet());
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    auto& sheet = *dialog->findChild<AddProjectSheet*>();
    QStringList statuses;
    QStringList counts;
    bool refreshOffWhileImporting = true;
    bool escapeIgnored = true;
    QObject::connect(&sheet.controller(), &AddProjectController::changed, [&] {
        if (!sheet.controller().isImporting()) return;
        if (statuses.isEmpty() || statuses.back() != sheet.statusLabel().text()) statuses << sheet.statusLabel().text();
        if (sheet.historyBar().isVisible() && (counts.isEmpty() || counts.back() != sheet.historyCount().text())) {
            counts << sheet.historyCount().text();
        }
        refreshOffWhileImporting = refreshOffWhileImporting && !window.refreshButton().isEnabled();
        QTest::keyClick(dialog, Qt::Key_Escape);
        escapeIgnored = escapeIgnored && dialog->isVisible() && !sheet.closeButton().isEnabled();
    });

    testing::typeInto(*QApplication::focusWidget(), "Copy of Atlas");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    testing::typeInto(*QApplication::focusWidget(), repository->path().string().c_str() + QStringLiteral("/src/.."));
    EXPECT_EQ(sheet.nameField().text(), "Copy of Atlas") << "the form starts in the name field, then tabs to the path";
    EXPECT_FALSE(sheet.pathWarning().isVisible());
    QTest::keyClick(&sheet.pathField(), Qt::Key_Return);

    ASSERT_TRUE(testing::waitUntilClosed(dialog))
        << sheet.errorLabel().text().toStdString() << sheet.statusLabel().text().toStdString();
    EXPECT_EQ(statuses, QStringList({"Analyzing code...", "Starting...", "Analyzing code...", "Found 12 lines of code",
                                     "Importing git history...", "Imported 4 snapshots", "Complete!"}));
    EXPECT_EQ(counts, QStringList({"1 of 4", "2 of 4", "3 of 4", "4 of 4"}));
    EXPECT_TRUE(refreshOffWhileImporting);
    EXPECT_TRUE(escapeIgnored);
    const auto stored = kit().findProject("Copy of Atlas");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->path, repository->pathString()) << "stored as an absolute, clean path";
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.sidebar().rowTexts().contains("Copy of Atlas"); }, 10'000));
}

// Found by going through the form with the keyboard: Tab never reached the project type, and the
// focus mark on the default button could not be seen, so Space there sent the form unawares.
TEST_F(AddProjectSheetTest, TabReachesAndMarksEveryControlAndKeysSetThem) {
    using norvane::testing::pressKey;
    const auto repository = makeRepository();
    QWidget window;
    window.show();
    auto* sheet = new AddProjectSheet(appState());
    QPointer<QDialog> dialog = SheetDialog::present(window, sheet);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    ASSERT_EQ(QApplication::focusWidget(), &sheet->nameField());
    testing::typeInto(sheet->nameField(), "Atlas");
    pressKey(Qt::Key_Tab);
    testing::typeInto(*QApplication::focusWidget(), repository->path().string().c_str());
    pressKey(Qt::Key_Backtab);
    EXPECT_EQ(norvane::testing::keyboardGaps(*dialog).join(" | ").toStdString(), "");
    std::vector<QWidget*> order;
    for (const auto& stop : norvane::testing::tabAround()) order.push_back(stop.widget);
    EXPECT_EQ(order, (std::vector<QWidget*>{&sheet->pathField(), &sheet->browseButton(), &sheet->descriptionField(),
                                            &sheet->typePicker(), dialog->findChild<QPushButton*>("cancel"),
                                            &sheet->addButton(), &sheet->closeButton(), &sheet->nameField()}));

    ASSERT_TRUE(norvane::testing::tabTo(sheet->descriptionField()));
    testing::typeInto(sheet->descriptionField(), "Typed");
    // Pressing the close symbol, then thinking better of it, leaves the focus in the field.
    QTest::mousePress(&sheet->closeButton(), Qt::LeftButton);
    QTest::mouseRelease(&sheet->closeButton(), Qt::LeftButton, {}, QPoint(-5, -5));
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), &sheet->descriptionField());
    pressKey(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &sheet->typePicker());
    const QVariant organic = sheet->typePicker().selection();
    pressKey(Qt::Key_Right);
    EXPECT_EQ(ProjectType(sheet->typePicker().selection().toInt()), ProjectType::semiDetached);
    EXPECT_TRUE(norvane::testing::showsText(*sheet, "Medium teams, mix of experienced and new developers"));
    pressKey(Qt::Key_End);
    EXPECT_EQ(ProjectType(sheet->typePicker().selection().toInt()), ProjectType::embedded);
    pressKey(Qt::Key_Right);
    EXPECT_EQ(ProjectType(sheet->typePicker().selection().toInt()), ProjectType::embedded) << "the last stays";
    pressKey(Qt::Key_Home);
    EXPECT_EQ(sheet->typePicker().selection(), organic);
    pressKey(Qt::Key_Right);
    EXPECT_TRUE(dialog->isVisible()) << "the picker's keys send nothing";

    ASSERT_TRUE(norvane::testing::tabTo(sheet->addButton()));
    EXPECT_TRUE(norvane::testing::ringDrawnAround(sheet->addButton())) << "on the default button's blue";
    pressKey(Qt::Key_Space);
    ASSERT_TRUE(testing::waitUntilClosed(dialog)) << sheet->statusLabel().text().toStdString();
    const auto stored = kit().findProject("Atlas");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->projectType, ProjectType::semiDetached);
    EXPECT_EQ(stored->projectDescription, "Typed");
}

TEST_F(AddProjectSheetTest, RefusesABlankNameARelativePathAndAFileWithTheirMessagesAndKeepsTheForm) {
    norvane::testing::TemporaryFolder folder;
    const auto file = folder.writeFile("notes.txt", "text");
    std::filesystem::create_directories(platform::XdgPaths::homeFolder() / "code/.git");
    AddProjectSheet sheet(appState());
    norvane::testing::showAndSettle(sheet, 450);
    const auto add = [&](const QString& name, const QString& path) {
        testing::typeInto(sheet.nameField(), name);
        testing::typeInto(sheet.pathField(), path);
        QTest::mouseClick(&sheet.addButton(), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !sheet.controller().isAdding(); }));
        return sheet.errorSection().isVisible() ? sheet.errorLabel().text() : QStringLiteral("no error");
    };

    const auto code = QString::fromStdString((platform::XdgPaths::homeFolder() / "code").string());
    QTest::mouseClick(&sheet.browseButton(), Qt::LeftButton);
    ASSERT_TRUE(testing::chooseInFileDialog(sheet, code));
    EXPECT_EQ(sheet.pathField().text(), code);
    EXPECT_EQ(sheet.nameField().text(), "code") << "an empty name takes the folder's";
    testing::typeInto(sheet.pathField(), "~/code");
    EXPECT_FALSE(sheet.pathWarning().isVisible()) << "a repository in the home folder";
    EXPECT_EQ(add("   ", "~/code"), "The project name must not be empty");
    EXPECT_EQ(add("Atlas", "rel/path"),
              "Path does not exist: " +
                  QString::fromStdString((std::filesystem::current_path() / "rel/path").string()));
    EXPECT_EQ(sheet.pathWarningLabel().text(), "Path does not exist");
    testing::typeInto(sheet.pathField(), QString::fromStdString(file.string()));
    EXPECT_EQ(sheet.pathWarningLabel().text(), "Path is not a directory");
    EXPECT_EQ(add("Atlas", QString::fromStdString(file.string())),
              "Path is not a directory: " + QString::fromStdString(file.string()));
    EXPECT_EQ(sheet.nameField().text(), "Atlas") << "the form keeps what was typed";
    EXPECT_FALSE(sheet.showsProgress());
    EXPECT_TRUE(kit().listProjects(true).empty());
}

// The folder dialog opened in the folder the program was started from, which the user never chose.
TEST_F(AddProjectSheetTest, TheFolderDialogOpensAtHomeOrAtTheFolderTyped) {
    const auto code = platform::XdgPaths::homeFolder() / "code";
    std::filesystem::create_directories(code);
    AddProjectSheet sheet(appState());
    norvane::testing::showAndSettle(sheet, 450);
    ASSERT_NE(QDir::currentPath(), QDir::homePath());
    for (const auto& [typed, expected] : {std::pair{QString(), QDir::homePath()},
                                          std::pair{QStringLiteral("~/code"), QString::fromStdString(code.string())},
                                          std::pair{QStringLiteral("~/missing"), QDir::homePath()}}) {
        testing::typeInto(sheet.pathField(), typed);
        QTest::mouseClick(&sheet.browseButton(), Qt::LeftButton);
        auto* dialog = sheet.findChild<QFileDialog*>();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->directory().absolutePath(), expected) << typed.toStdString();
        dialog->reject();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !sheet.findChild<QFileDialog*>(); }));
    }
}

// A refusal used to push the Name field out of a scrolled form and be cut at the footer.
TEST_F(AddProjectSheetTest, TheFormShowsEveryFieldWithAWarningAndARefusal) {
    QWidget window;
    window.show();
    auto* sheet = new AddProjectSheet(appState());
    QPointer<QDialog> dialog = SheetDialog::present(window, sheet);
    QApplication::processEvents();
    EXPECT_EQ(dialog->size(), QSize(450, 380));
    EXPECT_EQ(norvane::testing::partsOutOfView(*dialog).join(" | ").toStdString(), "") << "empty";

    // A folder name longer than a line, which holds nowhere to break at a space.
    const auto missing = platform::XdgPaths::homeFolder() / "code/a-folder-that-was-moved/somewhere-else-meanwhile" /
                         std::string(70, 'x');
    testing::typeInto(sheet->nameField(), "Atlas");
    testing::typeInto(sheet->pathField(), QString::fromStdString(missing.string()));
    QTest::mouseClick(&sheet->addButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet->errorSection().isVisible(); }));
    QApplication::processEvents();
    EXPECT_TRUE(sheet->pathWarning().isVisible());
    // The sheet grows a layout pass at a time as the refusal's lines come.
    EXPECT_TRUE(QTest::qWaitFor([&] { return norvane::testing::partsOutOfView(*dialog).isEmpty(); }))
        << norvane::testing::partsOutOfView(*dialog).join(" | ").toStdString();
    EXPECT_EQ(sheet->errorLabel().shownLines().join(""), sheet->errorLabel().text()) << "the whole path, over lines";
    EXPECT_EQ(dialog->width(), 450);
}

TEST_F(AddProjectSheetTest, AFailedFirstCollectionKeepsTheSheetOpenWithTheErrorAndTheProjectRegistered) {
    restartWithoutCounter();
    const auto repository = makeRepository();
    QWidget window;
    window.show();
    auto* sheet = new AddProjectSheet(appState());
    QPointer<QDialog> dialog = SheetDialog::present(window, sheet);
    const QSignalSpy finished(&sheet->controller(), &AddProjectController::finished);
    testing::typeInto(sheet->nameField(), "Beacon");
    testing::typeInto(sheet->pathField(), QString::fromStdString(repository->pathString()));
    QTest::mouseClick(&sheet->addButton(), Qt::LeftButton);

    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; })) << "the closing pause has passed";
    EXPECT_TRUE(sheet->failureSection().isVisible());
    EXPECT_TRUE(dialog && dialog->isVisible()) << "the sheet stays open";
    EXPECT_EQ(sheet->statusLabel().text(),
              "Error: scc not found. Install with: go install github.com/boyter/scc/v3@latest, or put "
              "norvane-count, the built-in counter, beside this program");
    EXPECT_TRUE(
        norvane::testing::showsText(*sheet, "The project 'Beacon' is registered. Collect it again from its page."));
    EXPECT_TRUE(sheet->closeButton().isEnabled());
    EXPECT_TRUE(kit().findProject("Beacon"));
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(testing::waitUntilClosed(dialog));
}

// An add meeting a database browser that keeps the store's write lock waits for it, says so once
// in the sheet, and goes on once the browser lets go: it used to fail with the lock wait's message.
TEST_F(AddProjectSheetTest, AnAddThatAnotherProgramKeepsWaitingSaysSoAndLandsOnceItLetsGo) {
    const auto repository = makeRepository();
    QWidget window;
    window.show();
    auto* sheet = new AddProjectSheet(appState());
    QPointer<QDialog> dialog = SheetDialog::present(window, sheet);
    std::optional<testing::StoreHold> browser(std::in_place, *kit().store().file(), "BEGIN IMMEDIATE");
    testing::typeInto(sheet->nameField(), "Beacon");
    testing::typeInto(sheet->pathField(), QString::fromStdString(repository->pathString()));
    QTest::mouseClick(&sheet->addButton(), Qt::LeftButton);

    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet->errorSection().isVisible(); }, 60'000));
    EXPECT_TRUE(sheet->errorLabel().text().endsWith("; the project is added once the other program lets go"))
        << sheet->errorLabel().text().toStdString();
    EXPECT_FALSE(sheet->closeButton().isEnabled()) << "the add goes on";
    browser.reset();
    ASSERT_TRUE(testing::waitUntilClosed(dialog)) << sheet->statusLabel().text().toStdString();
    const auto stored = kit().findProject("Beacon");
    ASSERT_TRUE(stored);
    EXPECT_FALSE(kit().collector().hasUnfinishedAdd(stored)) << "its history imported";
}

TEST_F(AddProjectSheetTest, EverySheetNamesOnlyRegisteredSymbols) {
    std::vector<std::unique_ptr<QWidget>> views;
    views.push_back(std::make_unique<AddProjectSheet>(appState()));
    views.push_back(std::make_unique<OnboardingView>());
    views.push_back(std::make_unique<ExportSheet>([] { return IndexExport{}; }, appState().saveFolder()));
    views.push_back(std::make_unique<ShareSummarySheet>([] { return ShareableMetrics{}; }, appState().saveFolder()));
    views.push_back(std::make_unique<ShareableSummaryView>(ShareableMetrics{}, ShareableSummaryConfig{}));
    for (const auto& view : views) {
        for (const auto* symbol : view->findChildren<SymbolLabel*>()) {
            EXPECT_TRUE(symbol->symbolName().isEmpty() || SymbolRegistry::contains(symbol->symbolName()))
                << symbol->symbolName().toStdString();
        }
        for (const auto* button : view->findChildren<BorderedButton*>()) {
            EXPECT_TRUE(button->symbolName().isEmpty() || SymbolRegistry::contains(button->symbolName()))
                << button->symbolName().toStdString();
        }
    }
}

} // namespace
} // namespace norvane::app
