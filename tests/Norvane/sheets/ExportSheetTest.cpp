#include "Norvane/sheets/ExportSheet.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <thread>

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <nlohmann/json.hpp>

#include "Norvane/components/controls/OceanSegmentedPicker.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/pages/SheetDialog.h"
#include "Norvane/sheets/ErrorLine.h"
#include "Norvane/state/SaveFolder.h"
#include "tests/Norvane/sheets/SheetTestSupport.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

/// Ends the test program when the GUI thread has not run its event loop for `limit`: a thread
/// blocked in a read cannot be woken, so failing is all that is left.
class GuiThreadWatchdog {
public:
    explicit GuiThreadWatchdog(std::chrono::seconds limit) : watcher_([this, limit] { watch(limit); }) {
        QObject::connect(&beat_, &QTimer::timeout, [this] { lastBeat_ = now(); });
        beat_.start(50);
    }
    ~GuiThreadWatchdog() {
        stopping_ = true;
        watcher_.join();
    }
    GuiThreadWatchdog(const GuiThreadWatchdog&) = delete;
    GuiThreadWatchdog& operator=(const GuiThreadWatchdog&) = delete;

private:
    static std::int64_t now() { return std::chrono::steady_clock::now().time_since_epoch().count(); }

    void watch(std::chrono::seconds limit) {
        const auto allowed = std::chrono::duration_cast<std::chrono::steady_clock::duration>(limit).count();
        while (!stopping_) {
            if (now() - lastBeat_ > allowed) {
                std::fputs("The GUI thread has not answered for ten seconds: it is blocked\n", stderr);
                std::_Exit(1);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    QTimer beat_;
    std::atomic<std::int64_t> lastBeat_ = now();
    std::atomic<bool> stopping_ = false;
    std::thread watcher_;
};

IndexExport threeProjects() {
    IndexExport record;
    record.dateRange.days = 1;
    record.outputComposition.totalLines = 1000;
    record.outputComposition.codeLines = 700;
    record.outputComposition.codePercent = 70.4;
    for (const auto* name : {"atlas", "beacon", "cairo"}) {
        record.projects.push_back({name, "Medium", 1200, 1.5, std::nullopt});
    }
    record.achievements = {{"a", "A", "Streaks", "Gold", true, 1.0}, {"b", "B", "Streaks", "Gold", false, 0.5}};
    return record;
}

class ExportSheetTest : public norvane::testing::ComponentTest {
protected:
    ExportSheet* open(IndexExport record) {
        return open([record = std::move(record)] { return record; });
    }
    ExportSheet* open(ExportSheet::Document document) {
        if (!window) window = std::make_unique<QWidget>();
        window->show();
        sheet = new ExportSheet(std::move(document), saveFolder);
        dialog = SheetDialog::present(*window, sheet);
        return sheet;
    }
    void choose(const QString& format) {
        auto& picker = sheet->formatPicker();
        norvane::testing::clickSegment(picker, int(picker.segmentLabels().indexOf(format)));
    }

    SaveFolder saveFolder;
    std::unique_ptr<QWidget> window;
    ExportSheet* sheet = nullptr;
    QPointer<QDialog> dialog;
    norvane::testing::TemporaryFolder folder;
};

TEST_F(ExportSheetTest, ProjectsAreNumberedUnlessNamesAreIncludedAndEachFormatProposesItsFileName) {
    open(threeProjects());
    EXPECT_TRUE(norvane::testing::showsText(*sheet, "700 (70%)"));
    EXPECT_TRUE(norvane::testing::showsText(*sheet, "1/2 earned"));
    QTest::mouseClick(&sheet->copyButton(), Qt::LeftButton);
    const auto copied = nlohmann::json::parse(QApplication::clipboard()->text().toStdString());
    EXPECT_EQ(copied["includesProjectNames"], false);
    EXPECT_EQ(copied["projects"][0]["name"], "Project 1");
    EXPECT_EQ(copied["projects"][2]["name"], "Project 3");
    EXPECT_EQ(copied["projects"][2]["totalCodeLines"], 1200);
    EXPECT_TRUE(testing::waitUntilClosed(dialog)) << "a copy closes the sheet";

    open(threeProjects());
    choose("CSV");
    auto& includeNames = sheet->includeNamesBox();
    QTest::mouseClick(&includeNames, Qt::LeftButton, {}, QPoint(8, includeNames.height() / 2));
    QTest::mouseClick(&sheet->saveButton(), Qt::LeftButton);
    auto* save = sheet->findChild<QFileDialog*>();
    ASSERT_TRUE(save);
    EXPECT_TRUE(save->selectedFiles().value(0).endsWith("/norvane-index-export.csv"));
    EXPECT_EQ(save->nameFilters().size(), 1);
    const auto path = folder.path() / "export.csv";
    ASSERT_TRUE(testing::chooseInFileDialog(*sheet, QString::fromStdString(path.string())));
    EXPECT_TRUE(testing::waitUntilClosed(dialog));
    const auto written = norvane::testing::readFile(path);
    EXPECT_NE(written.find("beacon"), std::string::npos) << written;
    EXPECT_EQ(written.find("Project 2"), std::string::npos);
}

// Found with the sheet open while a collection and a removal ran in a terminal: the preview kept
// "Projects 10" and a 15-day streak while the page showed 9 and 2. It shows the report as it stands,
// and the file holds the report as it stands when it is written.
TEST_F(ExportSheetTest, ThePreviewAndTheFileHoldTheFiguresAsTheyStand) {
    IndexExport record = threeProjects();
    record.streak.currentStreak = 15;
    open([&record] { return record; });
    ASSERT_TRUE(norvane::testing::showsText(*sheet, "15 days"));
    record.projects.pop_back();
    record.streak.currentStreak = 2;
    sheet->showDocument();
    EXPECT_TRUE(norvane::testing::showsText(*sheet, "2 days"));
    EXPECT_FALSE(norvane::testing::showsText(*sheet, "3")) << "two projects, not three";
    EXPECT_TRUE(norvane::testing::showsText(*sheet, "2"));

    QTest::mouseClick(&sheet->saveButton(), Qt::LeftButton);
    record.projects.pop_back();
    const auto path = folder.path() / "index.json";
    ASSERT_TRUE(testing::chooseInFileDialog(*sheet, QString::fromStdString(path.string())));
    EXPECT_TRUE(testing::waitUntilClosed(dialog));
    EXPECT_EQ(nlohmann::json::parse(norvane::testing::readFile(path)).at("projects").size(), 1u)
        << "read when written, not when the dialog opened";
}

TEST_F(ExportSheetTest, TabReachesAndMarksEveryControlAndKeysSetThem) {
    using norvane::testing::pressKey;
    using norvane::testing::tabTo;
    open(threeProjects());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    EXPECT_EQ(norvane::testing::keyboardGaps(*dialog).join(" | ").toStdString(), "");
    ASSERT_TRUE(tabTo(sheet->formatPicker()));
    pressKey(Qt::Key_Right);
    EXPECT_EQ(ExportFormat(sheet->formatPicker().selection().toInt()), ExportFormat::csv);
    EXPECT_TRUE(norvane::testing::showsText(*sheet, ExportSheet::formatDescription(ExportFormat::csv)));
    ASSERT_TRUE(tabTo(sheet->includeNamesBox()));
    pressKey(Qt::Key_Space);
    EXPECT_TRUE(sheet->includeNamesBox().isChecked());
    ASSERT_TRUE(tabTo(sheet->copyButton()));
    pressKey(Qt::Key_Space);
    EXPECT_NE(QApplication::clipboard()->text().indexOf("beacon"), -1) << "CSV with the names";
    EXPECT_TRUE(testing::waitUntilClosed(dialog));
}

// Found with the keyboard: the preview showed six of its seven rows, and no key reached the seventh.
TEST_F(ExportSheetTest, ThePreviewShowsEveryRow) {
    open(threeProjects());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    const auto* preview = sheet->findChild<QScrollArea*>();
    ASSERT_NE(preview, nullptr);
    for (const auto& row : ExportSheet::previewRows(threeProjects())) {
        const auto labels = preview->findChildren<StyledLabel*>();
        const auto found = std::find_if(labels.begin(), labels.end(),
                                        [&](const StyledLabel* label) { return label->text() == row.label; });
        ASSERT_NE(found, labels.end()) << row.label.toStdString();
        const QRect shown((*found)->mapTo(preview->viewport(), QPoint()), (*found)->size());
        EXPECT_TRUE(preview->viewport()->rect().contains(shown)) << row.label.toStdString();
    }
    EXPECT_EQ(preview->verticalScrollBar()->maximum(), 0);
}

// Found saving from an application started in a build folder: the dialog opened in the folder the
// program was started from. It opens in the home folder, then where the last file went, with its
// columns whole.
TEST_F(ExportSheetTest, TheSaveDialogOpensAtHomeThenWhereTheLastFileWent) {
    norvane::testing::TemporaryHome home;
    std::ofstream(home.path() / "norvane-index-export-of-last-quarter.json") << "{}";
    open(threeProjects());
    QTest::mouseClick(&sheet->saveButton(), Qt::LeftButton);
    auto* save = sheet->findChild<QFileDialog*>();
    ASSERT_TRUE(save);
    EXPECT_NE(QDir::currentPath(), QDir::homePath());
    EXPECT_EQ(save->directory().absolutePath().toStdString(), QDir::homePath().toStdString());
    EXPECT_EQ(save->selectedFiles().value(0).toStdString(),
              QDir::home().filePath("norvane-index-export.json").toStdString());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(save));
    EXPECT_EQ(norvane::testing::partsOutOfView(*save), QStringList());
    // The detailed list, asked as any view for what its columns need.
    const QAbstractItemView* files = save->findChild<QTreeView*>();
    ASSERT_TRUE(files);
    ASSERT_TRUE(QTest::qWaitFor([&] { return files->model()->rowCount(files->rootIndex()) > 0; }, 10'000));
    QApplication::processEvents();
    const auto& header = *save->findChild<QTreeView*>()->header();
    for (int column = 0; column < header.count(); ++column) {
        EXPECT_GE(header.sectionSize(column), files->sizeHintForColumn(column)) << "column " << column;
    }
    EXPECT_EQ(files->horizontalScrollBar()->maximum(), 0);

    const auto path = folder.path() / "exports/index.json";
    std::filesystem::create_directories(path.parent_path());
    ASSERT_TRUE(testing::chooseInFileDialog(*sheet, QString::fromStdString(path.string())));
    EXPECT_TRUE(testing::waitUntilClosed(dialog));
    open(threeProjects());
    QTest::mouseClick(&sheet->saveButton(), Qt::LeftButton);
    save = sheet->findChild<QFileDialog*>();
    ASSERT_TRUE(save);
    EXPECT_EQ(save->directory().absolutePath().toStdString(), path.parent_path().string());
    save->reject();
    emit sheet->dismissRequested();
}

// Listing /proc as root reaches /proc/kmsg, whose reads wait for the kernel's next message.
TEST_F(ExportSheetTest, TheSaveDialogTellsFilesByTheirNamesAndNoTypedFolderFreezesIt) {
    GuiThreadWatchdog watchdog(std::chrono::seconds(10));
    const auto pdfWithoutExtension = folder.writeFile("report", "%PDF-1.4\n");
    open(threeProjects());
    QTest::mouseClick(&sheet->saveButton(), Qt::LeftButton);
    auto* save = sheet->findChild<QFileDialog*>();
    ASSERT_TRUE(save && save->iconProvider());
    const auto type = save->iconProvider()->type(QFileInfo(QString::fromStdString(pdfWithoutExtension.string())));
    EXPECT_NE(type.toStdString(), "PDF document") << "read to tell its type";

    auto* fileName = save->findChild<QLineEdit*>("fileNameEdit");
    auto* files = save->findChild<QFileSystemModel*>();
    ASSERT_TRUE(fileName && files);
    // The dialog reads the folder on a thread of its own and takes each batch in on this one; the
    // folder is loaded once all of them are in.
    const QSignalSpy loaded(files, &QFileSystemModel::directoryLoaded);
    testing::typeInto(*fileName, "/proc/");
    EXPECT_TRUE(QTest::qWaitFor([&] { return loaded.contains({QStringLiteral("/proc")}); }, 5'000));
    EXPECT_GT(files->rowCount(files->index("/proc")), 10);
    save->reject();
    emit sheet->dismissRequested();
}

TEST_F(ExportSheetTest, AFailureStaysInTheSheetAsOneLine) {
    auto broken = threeProjects();
    broken.outputComposition.codePercent = std::numeric_limits<double>::quiet_NaN();
    open(broken);
    choose("CSV");
    QTest::mouseClick(&sheet->copyButton(), Qt::LeftButton);
    EXPECT_TRUE(sheet->errorLine().isVisible());
    EXPECT_EQ(sheet->errorLine().label().text(),
              "Failed to generate export: The export holds a number that is not finite: codePercent");
    EXPECT_FALSE(sheet->findChild<QFileDialog*>());
    emit sheet->dismissRequested();

    open(threeProjects());
    QTest::mouseClick(&sheet->saveButton(), Qt::LeftButton);
    ASSERT_TRUE(testing::chooseInFileDialog(*sheet, "/sys/norvane-index-export.json"));
    EXPECT_EQ(sheet->errorLine().label().text(),
              "Failed to save file: Cannot write /sys/norvane-index-export.json: Permission denied");
    EXPECT_TRUE(dialog && dialog->isVisible());
    QTest::mouseClick(&sheet->saveButton(), Qt::LeftButton);
    ASSERT_TRUE(testing::chooseInFileDialog(*sheet, QString::fromStdString((folder.path() / "a.json").string())));
    EXPECT_TRUE(testing::waitUntilClosed(dialog)) << "a later save that works closes the sheet";
}

// As the tool's export does: the file that the link leads to gets the export, and the link stays.
TEST_F(ExportSheetTest, ASaveThroughALinkWritesWhereTheLinkLeads) {
    const auto target = folder.writeFile("exports/index.json", "old");
    const auto link = folder.path() / "index link.json";
    std::filesystem::create_symlink("exports/index.json", link);
    open(threeProjects());
    QTest::mouseClick(&sheet->saveButton(), Qt::LeftButton);
    ASSERT_TRUE(testing::replaceInFileDialog(*sheet, QString::fromStdString(link.string())));
    EXPECT_TRUE(testing::waitUntilClosed(dialog));

    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(nlohmann::json::parse(norvane::testing::readFile(target)).at("projects").size(), 3u);
}

// As a user would: the store's own path, a hard link to it, the -wal file's name, and "Replace?" Yes.
TEST_F(ExportSheetTest, NoSaveLandsOnTheStoreOrTheFilesBesideIt) {
    testing::expectNoSaveLandsOnTheStore<ExportSheet>(
        folder.path() / "backup.json", [this] { return open(threeProjects()); }, dialog);
}

} // namespace
} // namespace norvane::app
