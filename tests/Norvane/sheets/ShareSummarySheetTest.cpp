#include "Norvane/sheets/ShareSummarySheet.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFileDialog>
#include <QPushButton>
#include <QTest>

#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/pages/SheetDialog.h"
#include "Norvane/sheets/ErrorLine.h"
#include "Norvane/sheets/ShareableSummaryView.h"
#include "Norvane/state/SaveFolder.h"
#include "tests/Norvane/sheets/SheetTestSupport.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

ShareableMetrics figures() {
    ShareableMetrics metrics;
    metrics.leverage7Day = 3.0;
    metrics.leverage30Day = 12.34;
    metrics.norvaneIndex = 90;
    metrics.linesTouched30Day = 1500;
    metrics.projectCount = 1;
    return metrics;
}

TEST(ShareableSummaryView, TextsFollowTheFiguresOfThePeriod) {
    EXPECT_EQ(ShareableSummaryView::leverageText(12.34), "12.3x");
    EXPECT_EQ(ShareableSummaryView::monthsLine(12.34), "0.4 months of traditional work per day");
    EXPECT_EQ(ShareableSummaryView::leverageText(0.0), "0.0x") << "zero is a figure";
    EXPECT_EQ(ShareableSummaryView::leverageText(std::nullopt), "--");
    EXPECT_EQ(ShareableSummaryView::monthsLine(std::nullopt), "Collect more data to see your leverage");
    const std::pair<int, const char*> badges[] = {{90, "Top 10%"},   {89, "Top 25%"}, {75, "Top 25%"},
                                                  {74, "Top 50%"},   {50, "Top 50%"}, {49, "Building up"},
                                                  {0, "Building up"}};
    for (const auto& [index, badge] : badges) EXPECT_EQ(ShareableSummaryView::indexBadge(index), badge) << index;
    EXPECT_FALSE(ShareableSummaryView::indexBadge(std::nullopt));
    EXPECT_EQ(ShareableSummaryView::formatCount(999'999), "1000.0K");
    EXPECT_EQ(ShareableSummaryView::projectLabel(1), "Project");
    EXPECT_EQ(ShareableSummaryView::projectLabel(0), "Projects");
    EXPECT_EQ(figures().leverage(ShareTimePeriod::fourteenDays), std::nullopt);
}

class ShareSummarySheetTest : public norvane::testing::ComponentTest {
protected:
    ShareSummarySheet* open(ShareSummarySheet::Figures shown = figures) {
        if (!window) window = std::make_unique<QWidget>();
        window->show();
        sheet = new ShareSummarySheet(std::move(shown), saveFolder);
        dialog = SheetDialog::present(*window, sheet);
        return sheet;
    }

    SaveFolder saveFolder;
    std::unique_ptr<QWidget> window;
    ShareSummarySheet* sheet = nullptr;
    QPointer<QDialog> dialog;
    norvane::testing::TemporaryFolder folder;
};

TEST_F(ShareSummarySheetTest, OpensAtThirtyDaysAndSavesThePngAtTwiceTheCardsSize) {
    open();
    EXPECT_EQ(sheet->config().timePeriod, ShareTimePeriod::thirtyDays);
    const QImage thirtyDays = sheet->previewImage();
    norvane::testing::clickSegment(sheet->periodPicker(), 0);
    EXPECT_EQ(sheet->config().timePeriod, ShareTimePeriod::sevenDays);
    EXPECT_NE(sheet->previewImage(), thirtyDays) << "the preview follows the period";

    QTest::mouseClick(&sheet->saveButton(), Qt::LeftButton);
    auto* save = sheet->findChild<QFileDialog*>();
    ASSERT_TRUE(save);
    EXPECT_TRUE(save->selectedFiles().value(0).endsWith("/norvane-summary.png"));
    const auto path = QString::fromStdString((folder.path() / "summary").string());
    ASSERT_TRUE(testing::chooseInFileDialog(*sheet, path));
    ASSERT_TRUE(testing::waitUntilClosed(dialog));
    const QImage saved(path + ".png");
    EXPECT_EQ(saved.width(), 800);
    EXPECT_EQ(saved.height() % 2, 0);
    EXPECT_EQ(saved.pixelColor(0, 0).alpha(), 0) << "clear outside the rounded outline";

    open();
    QTest::mouseClick(&sheet->copyButton(), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->image().width(), 800);
    EXPECT_TRUE(testing::waitUntilClosed(dialog));
}

// The card follows the page's figures while the sheet is open, as the page itself does.
TEST_F(ShareSummarySheetTest, ThePreviewAndTheImageShowTheFiguresAsTheyStand) {
    ShareableMetrics current = figures();
    open([&current] { return current; });
    const QImage opened = sheet->previewImage();
    current.projectCount = 9;
    sheet->showFigures();
    EXPECT_NE(sheet->previewImage(), opened);
    EXPECT_EQ(sheet->previewImage(), ShareableSummaryView::renderImage(current, sheet->config()));
    QTest::mouseClick(&sheet->copyButton(), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->image(), ShareableSummaryView::renderImage(current, sheet->config()));
    EXPECT_TRUE(testing::waitUntilClosed(dialog));
}

TEST_F(ShareSummarySheetTest, TabReachesAndMarksEveryControlAndKeysSetThem) {
    using norvane::testing::pressKey;
    open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    EXPECT_EQ(norvane::testing::keyboardGaps(*dialog).join(" | ").toStdString(), "");
    ASSERT_TRUE(norvane::testing::tabTo(sheet->periodPicker()));
    pressKey(Qt::Key_Left);
    EXPECT_EQ(sheet->config().timePeriod, ShareTimePeriod::fourteenDays);
    pressKey(Qt::Key_Home);
    EXPECT_EQ(sheet->config().timePeriod, ShareTimePeriod::sevenDays);
    ASSERT_TRUE(norvane::testing::tabTo(sheet->copyButton()));
    pressKey(Qt::Key_Space);
    EXPECT_EQ(QApplication::clipboard()->image().width(), 800);
    EXPECT_TRUE(testing::waitUntilClosed(dialog));
}

TEST_F(ShareSummarySheetTest, AFailedSaveStaysOpenWithItsError) {
    open();
    QTest::mouseClick(&sheet->saveButton(), Qt::LeftButton);
    ASSERT_TRUE(testing::chooseInFileDialog(*sheet, "/sys/norvane-summary.png"));
    EXPECT_TRUE(dialog && dialog->isVisible());
    EXPECT_TRUE(sheet->errorLine().isVisible());
    EXPECT_EQ(sheet->errorLine().label().text(),
              "Failed to save file: Cannot write /sys/norvane-summary.png: Permission denied");
}

TEST_F(ShareSummarySheetTest, NoImageLandsOnTheStoreOrTheFilesBesideIt) {
    testing::expectNoSaveLandsOnTheStore<ShareSummarySheet>(
        folder.path() / "picture.png", [this] { return open(); }, dialog);
}

} // namespace
} // namespace norvane::app
