#include "Norvane/sheets/ExportSheet.h"

#include <limits>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QFileDialog>
#include <QPushButton>
#include <QTest>
#include <nlohmann/json.hpp>

#include "Norvane/components/controls/OceanSegmentedPicker.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/pages/SheetDialog.h"
#include "Norvane/sheets/ErrorLine.h"
#include "tests/Norvane/sheets/SheetTestSupport.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

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
        if (!window) window = std::make_unique<QWidget>();
        window->show();
        sheet = new ExportSheet(std::move(record));
        dialog = SheetDialog::present(*window, sheet);
        return sheet;
    }
    void choose(const QString& format) {
        auto& picker = sheet->formatPicker();
        norvane::testing::clickSegment(picker, int(picker.segmentLabels().indexOf(format)));
    }

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

} // namespace
} // namespace norvane::app
