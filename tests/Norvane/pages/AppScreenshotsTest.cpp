#include "Norvane/pages/screenshots/AppScreenshots.h"

#include <map>

#include <QImage>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QToolButton>
#include <gtest/gtest.h>

#include "Norvane/cards/OptInPromptCard.h"
#include "Norvane/cards/kit/ProgressTrack.h"
#include "Norvane/components/controls/CollapsibleSection.h"
#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/components/text/GlowText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/DarkTheme.h"
#include "Norvane/components/tiles/HeroMetricCard.h"
#include "Norvane/components/tiles/HeroZoneView.h"
#include "Norvane/components/tiles/SummaryRowView.h"
#include "Norvane/onboarding/OnboardingWizard.h"
#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/CollectionProgressStrip.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/ErrorBanner.h"
#include "Norvane/pages/MenuBarView.h"
#include "Norvane/pages/PortfolioView.h"
#include "Norvane/pages/ProjectDetailView.h"
#include "Norvane/pages/ProjectHeader.h"
#include "Norvane/pages/Sidebar.h"
#include "Norvane/pages/screenshots/DemoPortfolio.h"
#include "Norvane/settings/CaptionMessage.h"
#include "Norvane/settings/DataTab.h"
#include "Norvane/settings/GeneralTab.h"
#include "Norvane/settings/SettingsView.h"
#include "Norvane/sheets/AddProjectSheet.h"
#include "Norvane/sheets/ErrorLine.h"
#include "Norvane/sheets/ExportSheet.h"
#include "Norvane/sheets/ShareableSummaryView.h"
#include "Norvane/state/ApplicationEnding.h"
#include "Norvane/state/SingleInstance.h"
#include "core/facade/NorvaneKit.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/LocalCalendar.h"
#include "platform/ProcessRunner.h"
#include "tests/Norvane/components/ComponentTestSupport.h"
#include "tests/Norvane/pages/AppPictureNames.h"
#include "tests/Norvane/pages/ApplicationHome.h"
#include "tests/Norvane/state/TestApplication.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

const QStringList demoSidebar{"Portfolio",     "PROJECTS", "harbor-web",   "atlas-api",
                              "pylon-scripts", "ARCHIVED", "old-prototype"};

void expectWindowHoldsTheProjectRows(const DashboardView& window) {
    const auto& sidebar = window.sidebar();
    EXPECT_EQ(sidebar.rowTexts(), demoSidebar);
    EXPECT_EQ(sidebar.shownTexts(), demoSidebar) << "no name is cut";
    const auto& list = sidebar.list();
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        EXPECT_TRUE(list.viewport()->rect().contains(list.visualRect(list.model()->index(row, 0))))
            << "row " << row << " lies outside the picture";
    }
    EXPECT_EQ(window.detailPage().kind, DetailPage::Kind::portfolio);
    EXPECT_TRUE(window.refreshButton().isEnabled());
    EXPECT_FALSE(window.errorBanner().isVisible());
}

void expectBannerOverTheProjectPage(const DashboardView& window) {
    ASSERT_EQ(window.detailPage().kind, DetailPage::Kind::project);
    EXPECT_EQ(window.detailPage().project->project.name, "atlas-api");
    const auto& banner = window.errorBanner();
    ASSERT_TRUE(banner.isVisible());
    EXPECT_TRUE(window.rect().contains(QRect(banner.mapTo(&window, QPoint()), banner.size())));
    const QStringList lines = banner.shownLines();
    EXPECT_GE(lines.size(), 3) << "the six projects take more than two lines";
    EXPECT_EQ(lines.join("").remove(' '), AppScreenshots::bannerMessage().remove(' ')) << "the whole message";
}

void expectProjectPage(const QString& name, QWidget& widget) {
    auto* page = widget.findChild<ProjectDetailView*>();
    if (!page) page = qobject_cast<ProjectDetailView*>(widget.parentWidget()->parentWidget());
    ASSERT_NE(page, nullptr) << name.toStdString();
    EXPECT_TRUE(page->isLoaded()) << name.toStdString();
    if (name == "project-page-sections.png") {
        EXPECT_EQ(page->shownSections().size(), 6u) << "every section has something to show";
        EXPECT_EQ(page->shownEmptyState(), ProjectEmptyState::none);
    }
    if (name == "project-page-collected.png") {
        EXPECT_EQ(page->progressStrip().statusText(), "atlas-api updated");
        EXPECT_FALSE(page->header().collectMenu().isEnabled());
    }
    const auto emptyState = page->shownEmptyState();
    if (name == "project-page-history-only.png") {
        EXPECT_EQ(emptyState, ProjectEmptyState::gitHistoryOnly);
    }
    if (name == "project-page-no-data.png") {
        EXPECT_EQ(emptyState, ProjectEmptyState::noData);
    }
}

void expectPanelFigures(const MenuBarView& panel) {
    EXPECT_NE(panel.totalLinesText(), "0");
    EXPECT_EQ(panel.projectCountText(), "3") << "the archived project does not count";
    EXPECT_TRUE(panel.leverageText().endsWith("x leverage")) << panel.leverageText().toStdString();
    EXPECT_TRUE(panel.statusText().startsWith("Last collected ")) << panel.statusText().toStdString();
    EXPECT_TRUE(panel.collectButton().isEnabled());
}

void expectSettings(const QString& name, const SettingsView& settings) {
    EXPECT_EQ(settings.width(), SettingsView::windowWidth) << name.toStdString();
    EXPECT_GE(settings.height(), SettingsView::windowHeight) << name.toStdString();
    if (name.startsWith("settings-general")) {
        EXPECT_EQ(norvane::testing::partsOutOfView(settings).join(" | ").toStdString(), "") << name.toStdString();
    }
    if (name == "settings-general-agent-failed.png") {
        EXPECT_TRUE(settings.generalTab().agentError().isVisible());
    }
    if (name == "settings-data-exported.png") {
        EXPECT_FALSE(settings.dataTab().exportMessage().isError())
            << settings.dataTab().exportMessage().text().toStdString();
        EXPECT_FALSE(settings.dataTab().shownSize().isEmpty());
    }
}

const PortfolioView& portfolioOf(const QWidget& widget) {
    const QWidget* ancestor = &widget;
    while (!qobject_cast<const PortfolioView*>(ancestor)) ancestor = ancestor->parentWidget();
    return *qobject_cast<const PortfolioView*>(ancestor);
}

// Without a benchmark service the index is missing; the demo store's oldest listed project reaches
// back more than a year.
void expectPortfolio(const QString& name, const QWidget& widget) {
    const auto& page = portfolioOf(widget);
    EXPECT_TRUE(page.heroZone().primaryCard().valueText().text().endsWith("x"));
    EXPECT_EQ(page.heroZone().secondaryCard().valueText().text(), "--");
    EXPECT_EQ(page.summaryRow().cards().size(), 3U);
    EXPECT_TRUE(page.optInCard().isVisible());
    const bool open = name != "portfolio-page.png";
    EXPECT_EQ(page.section(PortfolioView::achievements).isExpanded(), open);
    EXPECT_TRUE(page.section(PortfolioView::trends).isExpanded());
    if (open) {
        const auto& throughput = page.model().state().throughputData;
        ASSERT_FALSE(throughput.empty());
        EXPECT_LT(throughput.front().date, platform::LocalCalendar::addingDays(platform::currentDate(), -90));
    }
}

/// A picture at the main window's smallest size: the page's content is no wider than the page.
void expectFitsAtTheMinimumSize(const QString& name, const QWidget& widget) {
    const auto* window = qobject_cast<const DashboardView*>(widget.window());
    ASSERT_NE(window, nullptr) << name.toStdString();
    EXPECT_EQ(window->size(), window->minimumSize()) << name.toStdString();
    // The picture is the page's content, or the window showing the portfolio page.
    const auto* page =
        qobject_cast<const QScrollArea*>(widget.parentWidget() ? widget.parentWidget()->parentWidget() : nullptr);
    if (const auto* portfolio = widget.findChild<PortfolioView*>(); !page && portfolio) {
        page = portfolio->findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
    }
    ASSERT_NE(page, nullptr) << name.toStdString();
    EXPECT_LE(page->widget()->minimumSizeHint().width(), page->viewport()->width()) << name.toStdString();
    EXPECT_EQ(page->horizontalScrollBar()->maximum(), 0) << name.toStdString();
}

void expectSheet(const QString& name, const QWidget& widget) {
    if (const auto* add = widget.findChild<AddProjectSheet*>()) {
        if (name.endsWith("importing.png")) {
            EXPECT_TRUE(add->historyBar().isVisible());
        }
        if (name.endsWith("duplicate.png")) {
            EXPECT_EQ(add->errorLabel().text(), "A project named 'atlas-api' already exists");
        }
        if (name.endsWith("collection-failed.png")) {
            EXPECT_TRUE(add->failureSection().isVisible());
        }
    }
    if (const auto* exporting = widget.findChild<ExportSheet*>(); exporting && name.endsWith("failed.png")) {
        EXPECT_TRUE(exporting->errorLine().label().text().startsWith("Failed to save file: "));
    }
    if (name == "share-summary-image.png") {
        EXPECT_EQ(widget.width(), 2 * ShareableSummaryView::cardWidth);
    }
}

/// Each wizard picture shows the step it is named after, in the state it is named after.
void expectWizardStep(const QString& name, OnboardingWizard& wizard) {
    auto& model = wizard.model();
    const std::map<QString, bool> shows{
        {"onboarding-dependencies-scc-required.png", !wizard.forwardButton().isEnabled()},
        {"onboarding-dependencies.png", wizard.forwardButton().isEnabled()},
        {"onboarding-cli-not-on-path.png", model.cliStatus().reach == CommandLineTool::Reach::besideApplication},
        {"onboarding-cli-install-failed.png", !model.cliInstalled()},
        {"onboarding-cli-installed.png", model.cliInstalled()},
        {"onboarding-add-project-progress.png", model.projectAdder().isImporting()},
        {"onboarding-add-project-added.png", model.addedProject().has_value()},
        {"onboarding-scheduling-enable-failed.png", !model.schedulingEnabled()},
        {"onboarding-scheduling-enabled.png", model.schedulingEnabled()},
        {"onboarding-scheduling-disable-failed.png", model.schedulingEnabled()},
        {"onboarding-index-joined.png", model.dataCollectionEnabled()},
    };
    const auto found = shows.find(name);
    EXPECT_TRUE(found == shows.end() || found->second) << name.toStdString();
    // Taller only to show a path through a long temporary folder whole.
    EXPECT_EQ(wizard.width(), OnboardingWizard::wizardWidth);
    EXPECT_GE(wizard.height(), OnboardingWizard::wizardHeight);
}

// The whole road a user takes: repositories, the counter, the store, then each picture's widget
// as it is drawn, over the demo store.
TEST(AppScreenshots, EachPictureShowsWhatItIsTakenFor) {
    const auto& home = norvane::testing::applicationHome();
    DemoPortfolio::create(home.path() / "repositories", NorvaneKit::shared());
    auto& application = norvane::testing::testApplication();
    DarkTheme::apply(application);
    QSettings().setValue(QStringLiteral("hasCompletedOnboarding"), true);
    SingleInstance instance(QString::fromStdString((home.path() / "runtime").string()));
    ApplicationEnding ending(application);
    ApplicationController controller(application, ApplicationController::Stores::open(), instance, ending);

    QStringList pictures;
    AppScreenshots::stage(controller, [&](const QString& name, QWidget& widget) {
        pictures << name;
        EXPECT_EQ(widget.grab().toImage().size(), widget.size()) << name.toStdString();
        if (name == "main-window.png") expectWindowHoldsTheProjectRows(dynamic_cast<DashboardView&>(widget));
        if (name == "main-window-error-banner.png")
            expectBannerOverTheProjectPage(dynamic_cast<DashboardView&>(widget));
        if (name.startsWith("project-page")) expectProjectPage(name, widget);
        if (name == "menu-bar-panel.png") expectPanelFigures(dynamic_cast<MenuBarView&>(widget));
        if (name.startsWith("settings-")) expectSettings(name, dynamic_cast<SettingsView&>(widget));
        if (name.startsWith("portfolio-page")) expectPortfolio(name, widget);
        if (name.endsWith("-minimum.png")) expectFitsAtTheMinimumSize(name, widget);
        expectSheet(name, widget);
        if (name.startsWith("onboarding-")) expectWizardStep(name, dynamic_cast<OnboardingWizard&>(widget));
    });
    EXPECT_EQ(pictures, testing::appPictureNames());
}

// Run in a folder of its own: help and a command line it cannot take draw nothing, make no store
// and no folder (--help was once taken for the folder to draw into).
TEST(PictureProgramsTest, SayTheirUsageAndRefuseWhatTheyCannotTake) {
    const struct {
        std::string program;
        std::string usage;
    } programs[] = {
        {"norvane-gallery", "usage: norvane-gallery [OUTPUT-FOLDER]\n"},
        {"norvane-app-screenshots", "usage: norvane-app-screenshots OUTPUT-FOLDER\n"},
    };
    for (const auto& [program, usage] : programs) {
        const struct {
            std::vector<std::string> arguments;
            int status;
            std::string output;
            std::string error;
        } cases[] = {
            {{"--help"}, 0, usage, ""},
            {{"-h"}, 0, usage, ""},
            {{"--bogus"}, 2, "", program + ": unknown option --bogus\n" + usage},
            {{"one", "two"}, 2, "", program + ": too many arguments\n" + usage},
        };
        for (const auto& [arguments, status, output, error] : cases) {
            const norvane::testing::TemporaryFolder folder;
            const auto result =
                platform::PosixProcessRunner().run({.executable = norvane::testing::builtProgram(program).string(),
                                                    .arguments = arguments,
                                                    .workingDirectory = folder.path()});
            EXPECT_EQ(result.exitStatus, status) << program << " " << error;
            EXPECT_EQ(result.standardOutput.substr(0, output.size()), output) << program << " " << error;
            // After what Qt may say of the display.
            EXPECT_TRUE(result.standardError.ends_with(error)) << result.standardError;
            EXPECT_EQ(norvane::testing::folderEntries(folder.path()), std::vector<std::string>{}) << program;
        }
    }
    const auto none = platform::PosixProcessRunner().run(
        {.executable = norvane::testing::builtProgram("norvane-app-screenshots").string()});
    EXPECT_EQ(
        std::tuple(none.exitStatus, none.standardError),
        std::tuple(2, "norvane-app-screenshots: too few arguments\nusage: norvane-app-screenshots OUTPUT-FOLDER\n"));
}

} // namespace
} // namespace norvane::app
