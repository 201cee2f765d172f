#include "Norvane/pages/screenshots/SheetScreenshots.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "Norvane/components/theme/FocusRing.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/PortfolioExport.h"
#include "Norvane/pages/PortfolioView.h"
#include "Norvane/pages/SheetDialog.h"
#include "Norvane/pages/Sidebar.h"
#include "Norvane/pages/screenshots/AppScreenshots.h"
#include "Norvane/pages/screenshots/DemoRepository.h"
#include "Norvane/pages/screenshots/PortfolioScreenshots.h"
#include "Norvane/sheets/AddProjectSheet.h"
#include "Norvane/sheets/ExportSheet.h"
#include "Norvane/sheets/OnboardingView.h"
#include "Norvane/sheets/ShareSummarySheet.h"
#include "Norvane/sheets/ShareableSummaryView.h"
#include "platform/LocalCalendar.h"

namespace norvane::app::SheetScreenshots {
namespace {

using Take = std::function<void(const QString& name, QWidget& widget)>;
using AppScreenshots::choose;
using AppScreenshots::settle;

/// Where the save dialog's picture points: no file can be written there, even by the superuser,
/// and the dialog lists only folders.
constexpr auto unwritableFolder = "/sys";

void fillDeep(QWidget& widget) {
    widget.setAutoFillBackground(true);
    QPalette colours = widget.palette();
    colours.setColor(QPalette::Window, Palette::backgroundDeep());
    widget.setPalette(colours);
}

/// Confirms the open save or folder dialog over `owner` with `path`.
void chooseFile(QWidget& owner, const QString& path) {
    settle();
    if (auto* dialog = owner.findChild<QFileDialog*>()) {
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    }
    settle();
}

void typeInto(AddProjectSheet& sheet, const QString& name, const QString& path) {
    sheet.nameField().setText(name);
    sheet.pathField().setText(path);
    settle();
}

/// A service with a long weekly history, so the import has many commits to walk.
std::filesystem::path makeLongHistory(const std::filesystem::path& folder) {
    DemoRepository repository(folder);
    const auto today = platform::LocalCalendar::startOfDay(platform::currentDate());
    for (int week = 40; week >= 0; --week) {
        repository.writeFile("src/week" + std::to_string(week) + ".rs", "pub fn week_" + std::to_string(week) +
                                                                            "() -> u32 {\n    " + std::to_string(week) +
                                                                            "\n}\n");
        repository.commit("Ship week " + std::to_string(week),
                          platform::LocalCalendar::addingDays(today, -7 * week) - std::chrono::hours(3));
    }
    return folder;
}

/// A folder whose ".git" points nowhere: it counts, but git cannot read it.
std::filesystem::path makeBrokenRepository(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder / "src");
    std::ofstream(folder / "src/main.c") << "int main(void) { return 0; }\n";
    std::ofstream(folder / ".git") << "gitdir: " << (folder / "missing").string() << "\n";
    return folder;
}

AddProjectSheet* openAddSheet(DashboardView& window) {
    window.sidebar().findChild<QPushButton*>(QStringLiteral("addProject"))->click();
    settle();
    auto* dialog = window.addProjectSheet();
    return dialog ? dialog->findChild<AddProjectSheet*>() : nullptr;
}

void stageWelcome(const Take& take) {
    OnboardingView welcome;
    fillDeep(welcome);
    welcome.resize(880, std::max(720, welcome.heightForWidth(880)));
    // As in the main window, where it stands, no control has the focus.
    FocusRing::restFocus(welcome);
    welcome.show();
    settle();
    take(QStringLiteral("welcome-screen.png"), welcome);
}

void stageAddForm(DashboardView& window, const QDir& home, const Take& take) {
    auto* sheet = openAddSheet(window);
    if (!sheet) return;
    auto& dialog = *sheet->window();
    take(QStringLiteral("add-project-sheet.png"), dialog);
    QDir(home).mkpath(QStringLiteral("notes"));
    typeInto(*sheet, QStringLiteral("notes"), home.filePath(QStringLiteral("notes")));
    take(QStringLiteral("add-project-sheet-not-a-repository.png"), dialog);
    typeInto(*sheet, QStringLiteral("atlas-api-old"), QStringLiteral("~/repositories/atlas-api-old"));
    take(QStringLiteral("add-project-sheet-path-missing.png"), dialog);
    // From the path field, with the keyboard: the type picker, then the default button.
    sheet->pathField().setFocus();
    AppScreenshots::pressKey(Qt::Key_Tab);
    AppScreenshots::pressKey(Qt::Key_Tab);
    AppScreenshots::pressKey(Qt::Key_Tab);
    AppScreenshots::pressKey(Qt::Key_Right);
    AppScreenshots::pressKey(Qt::Key_Tab);
    AppScreenshots::pressKey(Qt::Key_Tab);
    settle();
    take(QStringLiteral("add-project-sheet-keyboard.png"), dialog);
    // The tallest form: the path warning and the refusal under it.
    sheet->addButton().click();
    settle([&] { return sheet->errorSection().isVisible(); });
    take(QStringLiteral("add-project-sheet-path-refused.png"), dialog);
    typeInto(*sheet, QStringLiteral("atlas-api"), QStringLiteral("~/repositories/atlas-api"));
    sheet->addButton().click();
    settle([&] { return sheet->errorSection().isVisible(); });
    take(QStringLiteral("add-project-sheet-duplicate.png"), dialog);
    emit sheet->dismissRequested();
    settle();
}

void stageImport(DashboardView& window, const QDir& home, const Take& take) {
    auto* sheet = openAddSheet(window);
    if (!sheet) return;
    QPointer<QWidget> dialog = sheet->window();
    const auto folder = makeLongHistory(home.filePath(QStringLiteral("repositories/orbit-service")).toStdString());
    typeInto(*sheet, QStringLiteral("orbit-service"), QString::fromStdString(folder.string()));
    bool taken = false;
    QObject::connect(&sheet->controller(), &AddProjectController::changed, sheet, [&, sheet] {
        const auto& controller = sheet->controller();
        if (taken || controller.importTotal() == 0 || controller.importCurrent() * 2 < controller.importTotal()) return;
        taken = true;
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        take(QStringLiteral("add-project-sheet-importing.png"), *dialog);
    });
    sheet->addButton().click();
    settle([&] { return !dialog; });
}

void stageFailedCollection(DashboardView& window, const QDir& home, const Take& take) {
    auto* sheet = openAddSheet(window);
    if (!sheet) return;
    const auto folder = makeBrokenRepository(home.filePath(QStringLiteral("repositories/relay")).toStdString());
    typeInto(*sheet, QStringLiteral("relay"), QString::fromStdString(folder.string()));
    sheet->addButton().click();
    settle([&] { return sheet->failureSection().isVisible(); });
    take(QStringLiteral("add-project-sheet-collection-failed.png"), *sheet->window());
    emit sheet->dismissRequested();
    settle();
}

/// The sheet that `action` of the portfolio page's menu opens.
template <typename SheetType>
SheetType* openFromPortfolio(PortfolioView& page, QAction& (PortfolioView::*action)() const) {
    (page.*action)().trigger();
    settle();
    return page.sheet() ? page.sheet()->findChild<SheetType*>() : nullptr;
}

void stageExport(DashboardView& window, const Take& take) {
    auto* page = PortfolioScreenshots::showPortfolio(window);
    auto* sheet = page ? openFromPortfolio<ExportSheet>(*page, &PortfolioView::exportAction) : nullptr;
    if (!sheet) return;
    QPointer<QWidget> dialog = sheet->window();
    take(QStringLiteral("export-sheet.png"), *dialog);
    choose(sheet->formatPicker(), QStringLiteral("CSV"));
    sheet->includeNamesBox().setChecked(true);
    settle();
    take(QStringLiteral("export-sheet-csv-with-names.png"), *dialog);
    sheet->saveButton().click();
    chooseFile(*sheet,
               QDir(QString::fromLatin1(unwritableFolder)).filePath(ExportSheet::proposedFileName(ExportFormat::csv)));
    take(QStringLiteral("export-sheet-save-failed.png"), *dialog);
    emit sheet->dismissRequested();
    settle();
}

void stageShare(ApplicationController& controller, DashboardView& window, const Take& take) {
    auto* page = PortfolioScreenshots::showPortfolio(window);
    auto* sheet = page ? openFromPortfolio<ShareSummarySheet>(*page, &PortfolioView::shareAction) : nullptr;
    if (!sheet) return;
    const auto metrics =
        PortfolioExport::shareableMetrics(controller.appState().cachedPortfolioMetrics(), page->model().state());
    QPointer<QWidget> dialog = sheet->window();
    take(QStringLiteral("share-sheet.png"), *dialog);
    choose(sheet->periodPicker(), QStringLiteral("7 Days"));
    settle();
    take(QStringLiteral("share-sheet-7-days.png"), *dialog);
    emit sheet->dismissRequested();

    auto* empty = new ShareSummarySheet([] { return ShareableMetrics{}; }, controller.appState().saveFolder());
    dialog = SheetDialog::present(window, empty);
    settle();
    take(QStringLiteral("share-sheet-no-figures.png"), *dialog);
    emit empty->dismissRequested();

    auto ranked = metrics;
    ranked.norvaneIndex = 82;
    QImage image = ShareableSummaryView::renderImage(ranked, {});
    image.setDevicePixelRatio(1.0);
    QLabel saved;
    fillDeep(saved);
    saved.setPixmap(QPixmap::fromImage(image));
    saved.setFixedSize(image.size());
    saved.show();
    settle();
    take(QStringLiteral("share-summary-image.png"), saved);
}

} // namespace

void stage(ApplicationController& controller, DashboardView& window, const Take& take) {
    const QDir home = QDir::home();
    stageWelcome(take);
    stageAddForm(window, home, take);
    stageImport(window, home, take);
    stageFailedCollection(window, home, take);
    stageExport(window, take);
    stageShare(controller, window, take);
}

} // namespace norvane::app::SheetScreenshots
