#include "Norvane/pages/DashboardView.h"

#include <QClipboard>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QToolButton>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <qcustomplot.h>

#include "Norvane/cards/OptInPromptCard.h"
#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/components/charts/SparklineView.h"
#include "Norvane/components/controls/CollapsibleSection.h"
#include "Norvane/components/text/GlowText.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/pages/ErrorBanner.h"
#include "Norvane/pages/PortfolioView.h"
#include "Norvane/pages/ProjectDetailView.h"
#include "Norvane/pages/ProjectListModel.h"
#include "Norvane/pages/ProjectRowModel.h"
#include "Norvane/pages/Sidebar.h"
#include "Norvane/pages/screenshots/DemoRepository.h"
#include "Norvane/sheets/ExportSheet.h"
#include "Norvane/sheets/OnboardingView.h"
#include "Norvane/sheets/ShareSummarySheet.h"
#include "Norvane/state/KitServices.h"
#include "core/facade/NorvaneKit.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/Snapshot.h"
#include "platform/LocalCalendar.h"
#include "platform/ProcessRunner.h"
#include "platform/persistence/Database.h"
#include "tests/Norvane/components/ComponentTestSupport.h"
#include "tests/Norvane/pages/ApplicationHome.h"
#include "tests/Norvane/state/AppStateFakes.h"
#include "tests/Norvane/state/StoreHold.h"
#include "tests/support/StoreHolder.h"

namespace norvane::app {
namespace {

/// A real store file, a window over it and an application state over fakes; the portfolio page's
/// benchmark client keeps its files in the test's home.
struct DashboardFixture : testing::StoreFixture {
    const norvane::testing::TemporaryFolder& home = norvane::testing::applicationHome();
    ProjectListModel projects{NorvaneStore(container)};
    DashboardView window{*state, projects};
};

std::function<void(Project&)> committedDaysAgo(int days) {
    return [days](Project& project) {
        project.latestCommitAt = platform::LocalCalendar::addingDays(platform::currentDate(), -days);
    };
}

TEST(DashboardModel, ActiveProjectsPutNewestCommitsFirstAndUndatedLastInNameOrder) {
    auto make = [](std::string name, std::optional<int> days, ProjectStatus status = ProjectStatus::active) {
        ProjectListing listing;
        listing.project.name = std::move(name);
        listing.project.status = status;
        if (days) listing.project.latestCommitAt = platform::Date(std::chrono::hours(24 * (1000 - *days)));
        return listing;
    };
    const DashboardModel::Projects projects{make("A", std::nullopt),
                                            make("B", 5),
                                            make("C", 1),
                                            make("D", 5),
                                            make("E", std::nullopt),
                                            make("P", 9, ProjectStatus::paused),
                                            make("Z", 0, ProjectStatus::archived)};
    QStringList names;
    for (const auto& listing : DashboardModel::activeProjects(projects))
        names << QString::fromStdString(listing.project.name);
    EXPECT_EQ(names, QStringList({"C", "B", "D", "P", "A", "E"}));
    EXPECT_EQ(DashboardModel::archivedProjects(projects).size(), 1u);
}

TEST(DashboardModel, DetailPageFollowsTheSelection) {
    ProjectListing project;
    project.project.name = "A";
    project.project.status = ProjectStatus::archived;
    const auto id = project.project.id;
    EXPECT_EQ(DashboardModel::detailPage(std::nullopt, {project}).kind, DetailPage::Kind::none);
    EXPECT_EQ(DashboardModel::detailPage(SidebarSelection::portfolio(), {}).kind, DetailPage::Kind::portfolio);
    const auto page = DashboardModel::detailPage(SidebarSelection::project(id), {project});
    ASSERT_TRUE(page.project);
    EXPECT_EQ(page.project->project.name, "A") << "archived projects have their page too";
    EXPECT_EQ(DashboardModel::detailPage(SidebarSelection::project(id), {}).kind, DetailPage::Kind::projectNotFound);
}

TEST(DashboardView, TheSidebarInvitesToAddAProjectThenFollowsTheStore) {
    DashboardFixture fixture;
    fixture.window.show();
    EXPECT_EQ(fixture.window.sidebar().rowTexts(), QStringList({"Portfolio", "Get Started"}));
    EXPECT_FALSE(fixture.window.refreshButton().isEnabled());
    EXPECT_EQ(fixture.window.detailPage().kind, DetailPage::Kind::portfolio);
    EXPECT_FALSE(fixture.window.errorBanner().isVisible());
    auto* page = fixture.window.findChild<PortfolioView*>();
    ASSERT_TRUE(page && page->welcome().isVisible());
    QSignalSpy settings(&fixture.window, &DashboardView::settingsRequested);
    page->optInCard().learnMoreButton().click();
    EXPECT_EQ(settings.count(), 1);
    dynamic_cast<OnboardingView&>(page->welcome()).addButton().click();
    ASSERT_NE(fixture.window.addProjectSheet(), nullptr) << "the welcome screen's add button opens the sheet";
    delete fixture.window.addProjectSheet();

    fixture.add("Old", ProjectStatus::archived);
    EXPECT_EQ(fixture.window.sidebar().rowTexts(), QStringList({"Portfolio", "PROJECTS", "ARCHIVED", "Old"}));
    EXPECT_TRUE(fixture.window.refreshButton().isEnabled());

    fixture.add("Beacon", ProjectStatus::paused, committedDaysAgo(1));
    fixture.add("Atlas", ProjectStatus::active, committedDaysAgo(3));
    EXPECT_EQ(fixture.window.sidebar().rowTexts(),
              QStringList({"Portfolio", "PROJECTS", "Beacon", "Atlas", "ARCHIVED", "Old"}));
}

TEST(DashboardView, ADeletedProjectLeavesItsSelectionOnNotFound) {
    DashboardFixture fixture;
    auto atlas = fixture.add("Atlas");
    fixture.window.sidebar().setSelection(SidebarSelection::project(atlas->id));
    EXPECT_EQ(fixture.window.detailPage().kind, DetailPage::Kind::project);

    fixture.context->remove(atlas);
    fixture.context->save();
    QCoreApplication::processEvents();
    EXPECT_EQ(fixture.window.detailPage().kind, DetailPage::Kind::projectNotFound);
}

TEST(DashboardView, TheBannerShowsTheErrorAndItsButtonClearsIt) {
    DashboardFixture fixture;
    fixture.add("Atlas");
    fixture.window.show();
    fixture.state->setLastCollectionError(QString("Failed to collect: Atlas"));
    ASSERT_TRUE(fixture.window.errorBanner().isVisible());
    EXPECT_EQ(fixture.window.errorBanner().message(), "Failed to collect: Atlas");

    fixture.window.errorBanner().findChild<QToolButton*>("closeBanner")->click();
    EXPECT_FALSE(fixture.state->lastCollectionError());
    EXPECT_FALSE(fixture.window.errorBanner().isVisible());
    EXPECT_FALSE(fixture.state->isCollecting()) << "closing starts nothing";
}

// Found with a store whose projects could not be read: collecting them all ended as if there were
// none, with a line on standard output and no word in the window.
TEST(DashboardView, AStoreWhoseProjectsCannotBeReadShowsTheBanner) {
    testing::StoreFixture fixture;
    fixture.add("Atlas");
    const auto file = fixture.folder.path() / "norvane.store";
    NorvaneKit kit(NorvaneDatabase::makeContainer(file));
    AppState state({std::make_shared<KitCollectionService>([&kit]() -> NorvaneKit& { return kit; }),
                    fixture.metrics,
                    fixture.index,
                    fixture.preferences,
                    {},
                    {}},
                   {std::chrono::milliseconds(0), std::chrono::hours(1), std::chrono::hours(6)});
    // Opening the store makes the tables it misses, so the window, whose pages open it, comes after.
    platform::Database(file.string(), platform::Database::Access::readWrite).execute("DROP TABLE Project");
    testing::CapturedWarnings warnings;
    ASSERT_TRUE(testing::finishes([&](auto done) { state.collectAllProjects(done); }));

    ProjectListModel projects{NorvaneStore(fixture.container)};
    DashboardView window{state, projects};
    window.show();
    const QString failure =
        QStringLiteral(
            "Failed to fetch projects: the file does not hold what this program expects: no such table: project (%1)")
            .arg(QString::fromStdString(file));
    EXPECT_TRUE(window.errorBanner().isVisible());
    EXPECT_EQ(window.errorBanner().message().toStdString(), failure.toStdString());
    EXPECT_EQ(std::ranges::count(testing::CapturedWarnings::lines(), "norvane.state: Collection failed: " + failure),
              1);
}

// Found with a store of a newer version at the end of a long path: the banner cut the middle of
// the path, and with it the start of the reason ("…/.local/share/ …s written by a newer version…").
TEST(DashboardView, ALongFailureShowsWholeOverAsManyLinesAsItTakes) {
    DashboardFixture fixture;
    fixture.add("Atlas");
    fixture.window.show();
    auto& banner = fixture.window.errorBanner();
    const auto whole = [](const QStringList& lines) { return lines.join("").remove(' '); };
    QStringList failed;
    for (int project = 1; project <= 6; ++project) failed << QStringLiteral("customer-portal-service-%1").arg(project);
    const QString store = QStringLiteral("/home/dana/client-work-for-the-harbour-authority-ledger-migration-2024-and-"
                                         "beyond/.local/share/Norvane/norvane.store");
    for (const QString& message :
         {QStringLiteral("Failed to collect: ") + failed.join(QStringLiteral(", ")) + ": the store is read-only",
          DashboardView::storeFailureText("The store " + store.toStdString() +
                                          " was written by a newer version of Norvane (schema 9.0.0); this version "
                                          "reads schema 1.4.0")}) {
        fixture.state->setLastCollectionError(message);
        QCoreApplication::processEvents();
        EXPECT_EQ(whole(banner.shownLines()).toStdString(), QString(message).remove(' ').toStdString());
        EXPECT_GE(banner.shownLines().size(), 3);
        EXPECT_EQ(norvane::testing::partsOutOfView(banner).join(" | ").toStdString(), "") << "every line in the banner";
        EXPECT_TRUE(fixture.window.rect().contains(QRect(banner.mapTo(&fixture.window, QPoint()), banner.size())));
    }

    fixture.state->setLastCollectionError(QStringLiteral("Failed to collect: Atlas"));
    QCoreApplication::processEvents();
    EXPECT_EQ(banner.shownLines(), QStringList("Failed to collect: Atlas"));
    EXPECT_EQ(norvane::testing::partsOutOfView(banner).join(" | ").toStdString(), "");
}

TEST(DashboardView, StoreChangesKeepTheSidebarsSelectionAndScrollPositionAndCutLongNames) {
    DashboardFixture fixture;
    fixture.window.resize(1100, 400);
    fixture.window.show();
    std::vector<std::shared_ptr<Project>> projects;
    for (int day = 0; day < 30; ++day) {
        const auto name = QStringLiteral("project-%1").arg(day, 2, 10, QChar('0')).toStdString();
        projects.push_back(fixture.add(name, ProjectStatus::active, committedDaysAgo(day)));
    }
    auto& sidebar = fixture.window.sidebar();
    auto& list = sidebar.list();
    sidebar.setSelection(SidebarSelection::project(projects[20]->id));
    list.verticalScrollBar()->setValue(list.verticalScrollBar()->maximum() / 2);
    const int scrolled = list.verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    const QPersistentModelIndex selectedRow = list.currentIndex();

    // A collection saves: one project's commit date moves it up, another project is added.
    projects[25]->latestCommitAt = platform::currentDate();
    fixture.context->save();
    QCoreApplication::processEvents();
    fixture.add("a-project-whose-name-is-far-too-long-for-the-sidebar-column", ProjectStatus::active,
                committedDaysAgo(40));

    EXPECT_EQ(sidebar.selection(), SidebarSelection::project(projects[20]->id));
    EXPECT_EQ(fixture.window.detailPage().project->project.id, projects[20]->id);
    EXPECT_TRUE(selectedRow.isValid()) << "rows are updated in place, not rebuilt";
    EXPECT_EQ(list.currentIndex(), QModelIndex(selectedRow));
    EXPECT_EQ(list.verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(sidebar.rowTexts()[2], "project-25");

    const QString shown = sidebar.shownTexts().last();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_LT(list.fontMetrics().horizontalAdvance(shown), list.viewport()->width());
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
}

TEST(ProjectRowModel, RelativeDaysCountWeeksAndMonthsAndReadAFutureCommitAsToday) {
    QStringList texts;
    for (int days : {0, 1, 6, 7, 13, 14, 21, 29, 30, 59, 60, -5}) texts << ProjectRowModel::relativeDaysText(days);
    EXPECT_EQ(texts,
              QStringList({"today", "yesterday", "6 days ago", "1 week ago", "1 week ago", "2 weeks ago", "3 weeks ago",
                           "4 weeks ago", "1+ months ago", "1+ months ago", "2+ months ago", "today"}));
}

TEST(DashboardView, ProjectRowsShowADotAndTheNewestCommitOrHowLongAgo) {
    DashboardFixture fixture;
    const auto commit = [&fixture](const std::shared_ptr<Project>& project, const char* message) {
        auto snapshot = Snapshot::create(project);
        snapshot->latestCommitHash = "0123456789abcdef";
        snapshot->latestCommitMessage = message;
        fixture.context->insert(snapshot);
        fixture.context->save();
    };
    commit(fixture.add("Atlas", ProjectStatus::active, committedDaysAgo(2)), "Add the billing export\nDetails");
    commit(fixture.add("Old", ProjectStatus::archived, committedDaysAgo(2)), "Last words");
    fixture.add("Beacon", ProjectStatus::paused, committedDaysAgo(10));
    fixture.add("Clock", ProjectStatus::active, committedDaysAgo(-3));
    fixture.add("Draft");
    fixture.window.show();
    auto& sidebar = fixture.window.sidebar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sidebar.detailTexts()[2].isEmpty(); }, 10'000));

    EXPECT_EQ(sidebar.rowTexts(),
              QStringList({"Portfolio", "PROJECTS", "Clock", "Atlas", "Beacon", "Draft", "ARCHIVED", "Old"}));
    EXPECT_EQ(sidebar.detailTexts(),
              QStringList({"", "", "today", QStringLiteral("0123456 \u00B7 Add the billing export"), "1 week ago", "",
                           "", "Archived"}));
    QList<QColor> dots;
    for (int row : {3, 4, 5, 7})
        dots << sidebar.list().model()->index(row, 0).data(SidebarModel::dotColorRole).value<QColor>();
    EXPECT_EQ(dots, QList<QColor>({Palette::cyan(), Palette::textMuted(), Palette::textMuted(), Palette::textMuted()}));
}

/// The page's scrolled content is no wider than the room the page gives it.
bool fitsItsWidth(const QScrollArea& page) {
    const QWidget& content = *page.widget();
    return content.minimumSizeHint().width() <= page.viewport()->width() &&
           content.width() <= page.viewport()->width() && page.horizontalScrollBar()->maximum() == 0;
}

using DashboardLayout = norvane::testing::ComponentTest;

// At 820 pixels the portfolio page scrolled sideways, its Focus tile and "Learn More" cut off.
TEST_F(DashboardLayout, AtItsMinimumSizeEveryPageFitsItsWidth) {
    DashboardFixture fixture;
    auto& figures = fixture.metrics->figures;
    figures.dailyThroughput = 12.34;
    figures.parallelismFactor = 12.3;
    figures.capacityUtilization = 100.0;
    figures.churnRatio = 1.75;
    figures.netGrowthRate = -48.0;
    figures.recentInsertions = 123'456;
    figures.recentDeletions = 98'765;
    figures.focusIndex = 0.58;
    figures.projectShares = {{"atlas", 58.0}, {"beacon", 22.0}, {"clock", 12.0}, {"draft", 8.0}};
    fixture.state->refreshMetricsCache();
    fixture.add("atlas");
    fixture.add("beacon");
    auto& window = fixture.window;
    window.show();
    window.resize(1, 1);
    auto* portfolio = window.findChild<PortfolioView*>();
    ASSERT_NE(portfolio, nullptr);
    for (int section = PortfolioView::trends; section <= PortfolioView::achievements; ++section) {
        portfolio->section(PortfolioView::Section(section)).setExpanded(true);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return portfolio->isSettled() && fixture.state->cachedPortfolioMetrics(); }));
    QApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(window.sidebar().minimumWidth() + 1 + DashboardView::minimumPageWidth,
                                   DashboardView::minimumHeight));
    EXPECT_TRUE(fitsItsWidth(*portfolio->findChild<QScrollArea*>())) << "portfolio";

    // The sidebar dragged as wide as it goes takes no room from the page.
    auto* split = window.findChild<QSplitter*>();
    split->setSizes({window.sidebar().maximumWidth(), 1});
    QApplication::processEvents();
    EXPECT_TRUE(fitsItsWidth(*portfolio->findChild<QScrollArea*>())) << "portfolio beside a wide sidebar";

    window.sidebar().setSelection(SidebarSelection::project(fixture.add("clock")->id));
    auto* project = window.findChild<ProjectDetailView*>();
    ASSERT_NE(project, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return project->isLoaded(); }));
    QApplication::processEvents();
    EXPECT_TRUE(fitsItsWidth(*project)) << "project";
}

/// A store where the command-line tool keeps it under the fixture's folder as its data home, the
/// real repositories it measures, and the tool run there as a user runs it in a terminal.
struct TerminalFixture : testing::AppStateFixture {
    const norvane::testing::TemporaryFolder& home = norvane::testing::applicationHome();
    std::filesystem::path storeFile = folder.path() / "Norvane" / "norvane.store";

    /// A repository of one module a commit, on each of `daysBack` days before today; each module
    /// a function of `statements` lines.
    DemoRepository repository(const std::string& name, const std::vector<int>& daysBack, int statements = 1) const {
        DemoRepository repository(folder.path() / "repositories" / name);
        for (const int day : daysBack) addModule(repository, day, statements);
        return repository;
    }

    static void addModule(const DemoRepository& repository, int daysBack, int statements = 1) {
        const auto number = std::to_string(daysBack);
        std::string body;
        for (int statement = 1; statement < statements; ++statement)
            body += "    int value" + std::to_string(statement) + " = " + number + ";\n";
        repository.writeFile("src/module" + number + ".cpp",
                             "int module" + number + "() {\n" + body + "    return " + number + ";\n}\n");
        repository.commit("Add module " + number,
                          platform::LocalCalendar::addingDays(platform::currentDate(), -daysBack) +
                              std::chrono::hours(10));
    }

    void runTool(const std::vector<std::string>& arguments) const {
        const std::string data = folder.path().string();
        platform::ProcessRequest request{norvane::testing::builtProgram("norvane").string(), arguments};
        request.environmentOverrides = {{"HOME", data},
                                        {"XDG_DATA_HOME", data},
                                        {"XDG_CONFIG_HOME", data + "/.config"},
                                        {"GIT_CONFIG_NOSYSTEM", "1"}};
        const auto result = platform::PosixProcessRunner().run(request);
        ASSERT_TRUE(result.succeeded()) << result.standardError << result.startError.value_or("");
    }
};

/// The application started over the fixture's store, as far as its figures go: the state reading
/// the store's own figures and following it, and the live project list, all over the application's
/// connection, as the application's are; one window on the portfolio with its export sheet open and
/// one on a project's page.
struct Start {
    NorvaneStore store;
    AppState state;
    ProjectListModel projects;
    DashboardView portfolio{state, projects};
    DashboardView project{state, projects};
    DashboardView sharing{state, projects};

    /// Without a project's name, the project's window shows the portfolio; the collections go to the
    /// fixture's fake unless a service is given.
    Start(TerminalFixture& fixture, const std::string& projectName,
          std::shared_ptr<CollectionService> collection = nullptr)
        : store(NorvaneStore::open(fixture.storeFile)),
          state({collection ? std::move(collection) : fixture.collection,
                 std::make_shared<KitMetricsSource>(store),
                 fixture.index,
                 fixture.preferences,
                 {},
                 {},
                 platform::systemClock(),
                 store},
                {std::chrono::milliseconds(0), std::chrono::hours(1), std::chrono::hours(6)}),
          projects(store) {
        for (auto* window : {&portfolio, &project, &sharing}) window->show();
        for (const auto& listing : projects.projects()) {
            if (listing.project.name == projectName)
                project.sidebar().setSelection(SidebarSelection::project(listing.project.id));
        }
        portfolio.findChild<PortfolioView*>()->exportAction().trigger();
        sharing.findChild<PortfolioView*>()->shareAction().trigger();
    }

    ExportSheet& exportSheet() const { return *portfolio.findChild<ExportSheet*>(); }

    bool isSettled() const {
        return state.metricsLoaded() && !state.isRefreshingMetrics() && isSettled(portfolio) && isSettled(project) &&
               isSettled(sharing);
    }

    static bool isSettled(const DashboardView& window) {
        if (const auto* detail = window.findChild<ProjectDetailView*>()) return detail->isLoaded();
        const auto* page = window.findChild<PortfolioView*>();
        return page && page->isSettled();
    }
};

/// The figures of a share sheet's preview, those of every period.
QString previewFigures(const ShareSummarySheet& sheet) {
    const ShareableMetrics& shown = sheet.previewFigures();
    const auto leverage = [](std::optional<double> value) { return value ? formatMultiplier(*value) : QString("--"); };
    return QStringLiteral("share %1 %2 %3 %4 %5 %6 %7 %8")
        .arg(leverage(shown.leverage7Day), leverage(shown.leverage14Day), leverage(shown.leverage30Day))
        .arg(shown.norvaneIndex.value_or(-1))
        .arg(shown.linesTouched7Day)
        .arg(shown.linesTouched14Day)
        .arg(shown.linesTouched30Day)
        .arg(shown.projectCount);
}

/// Every figure a window shows, in reading order: its texts, its sparklines' values, its charts as
/// drawn and the figures of a share sheet's preview.
QStringList figuresShown(const QWidget& window) {
    std::vector<std::pair<QPoint, QString>> shown;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisible()) continue;
        QString figure;
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            figure = label->text();
        } else if (const auto* glow = qobject_cast<const GlowText*>(widget)) {
            figure = glow->text();
        } else if (const auto* sheet = qobject_cast<const ShareSummarySheet*>(widget)) {
            figure = previewFigures(*sheet);
        } else if (const auto* sparkline = qobject_cast<const SparklineView*>(widget)) {
            for (const double value : sparkline->series()) figure += QString::number(value) + " ";
        } else if (const auto* plot = qobject_cast<const QCustomPlot*>(widget)) {
            const QImage drawn = const_cast<QCustomPlot*>(plot)->toPixmap().toImage();
            figure = QStringLiteral("chart %1").arg(qHashBits(drawn.constBits(), std::size_t(drawn.sizeInBytes())));
        }
        if (!figure.isEmpty()) shown.emplace_back(widget->mapTo(&window, QPoint()), figure);
    }
    std::sort(shown.begin(), shown.end(), [](const auto& one, const auto& other) {
        return std::tuple(one.first.y(), one.first.x(), one.second) <
               std::tuple(other.first.y(), other.first.x(), other.second);
    });
    QStringList figures;
    for (const auto& [place, figure] : shown) figures << figure;
    return figures;
}

/// What differs between the figures of the open windows and those of a fresh start, once both
/// have settled; empty when they agree.
std::string differenceFromAFreshStart(TerminalFixture& fixture, const Start& open, const std::string& projectName) {
    const Start fresh(fixture, projectName);
    if (!QTest::qWaitFor([&] { return fresh.isSettled(); }, 20'000)) return "the fresh start did not settle";
    QString difference;
    const auto agree = [&] {
        difference.clear();
        for (const auto& [window, again] : {std::pair{&open.portfolio, &fresh.portfolio},
                                            {&open.project, &fresh.project},
                                            {&open.sharing, &fresh.sharing}}) {
            const QStringList shown = figuresShown(*window);
            const QStringList read = figuresShown(*again);
            qsizetype first = 0;
            while (first < shown.size() && first < read.size() && shown[first] == read[first]) ++first;
            if (shown.size() != read.size() || first < shown.size()) {
                difference +=
                    "[" + shown.mid(first, 6).join(" | ") + "] instead of [" + read.mid(first, 6).join(" | ") + "]; ";
            }
        }
        return open.isSettled() && difference.isEmpty();
    };
    if (!QTest::qWaitFor(agree, 20'000) && difference.isEmpty()) return "the open windows did not settle";
    return difference.toStdString();
}

// Found with the window open: `norvane add` in a terminal, and the sidebar and Total LOC followed
// while the leverage and the throughput stayed as they were until a restart; after `norvane remove`
// the streak card followed and the hero did not.
TEST(DashboardView, EveryFigureFollowsTheToolInATerminalAsAFreshStartShowsIt) {
    TerminalFixture fixture;
    std::vector<int> weekly;
    for (int day = 400; day >= 7; day -= 7) weekly.push_back(day);
    const auto atlas = fixture.repository("atlas", weekly);
    fixture.runTool({"add", "atlas", atlas.folder().string()});
    fixture.runTool({"add", "beacon", fixture.repository("beacon", {90, 60, 30, 1, 0}).folder().string()});
    std::vector<int> daily;
    for (int day = 13; day >= 0; --day) daily.push_back(day);
    const auto burst = fixture.repository("burst", daily);
    // Every section open: all the figures of both pages are on screen.
    for (const char* page : {"portfolio", "project"}) {
        for (const char* section : {"trends", "output", "insights", "productivity", "projects", "achievements",
                                    "velocity", "milestones", "costs", "git"}) {
            fixture.settings->setValue(QStringLiteral("%1.%2.expanded").arg(page, section), true);
        }
    }
    Start open(fixture, "atlas");
    ASSERT_TRUE(QTest::qWaitFor([&] { return open.isSettled(); }, 20'000));
    const QStringList before = figuresShown(open.portfolio);

    fixture.runTool({"add", "burst", burst.folder().string()});
    EXPECT_EQ(differenceFromAFreshStart(fixture, open, "atlas"), "") << "after the add";
    EXPECT_NE(figuresShown(open.portfolio), before);

    fixture.runTool({"remove", "beacon", "--yes"});
    EXPECT_EQ(differenceFromAFreshStart(fixture, open, "atlas"), "") << "after the removal";

    const QStringList projectBefore = figuresShown(open.project);
    for (const int day : {3, 2, 1, 0}) TerminalFixture::addModule(atlas, day);
    fixture.runTool({"collect"});
    EXPECT_EQ(differenceFromAFreshStart(fixture, open, "atlas"), "") << "after a collection";
    EXPECT_NE(figuresShown(open.project), projectBefore);

    // The export holds what its preview shows.
    const auto preview = [&](const QString& row) {
        const auto labels = open.exportSheet().findChildren<QLabel*>();
        const auto title =
            std::find_if(labels.begin(), labels.end(), [&](auto* label) { return label->text() == row; });
        return title == labels.end() ? QString() : labels[std::distance(labels.begin(), title) + 1]->text();
    };
    open.exportSheet().copyButton().click();
    const auto copied = nlohmann::json::parse(QApplication::clipboard()->text().toStdString());
    EXPECT_EQ(preview("Projects"), QString::number(copied.at("projects").size()));
    EXPECT_EQ(preview("Current Streak"),
              QStringLiteral("%1 days").arg(copied.at("streak").at("currentStreak").get<int>()));
}

// Found starting the window on a store that only `norvane add` had written, while a database browser
// kept its write lock: for the whole hold the portfolio showed a leverage of 1.0x, 0.00 Mo/Day, the
// productivity tiles at 0 in red, "No activity in this period", "No data" and "No data yet", read
// from the daily rows that the refresh could not store yet; once the hold ended, the truth.
TEST(DashboardView, AWriteLockHeldFromBeforeTheStartShowsWhatTheWindowShowsOnceItEnds) {
    TerminalFixture fixture;
    std::vector<int> everyFourDays;
    for (int day = 120; day >= 0; day -= 4) everyFourDays.push_back(day);
    fixture.runTool({"add", "atlas", fixture.repository("atlas", everyFourDays, 400).folder().string()});
    fixture.runTool(
        {"add", "beacon", fixture.repository("beacon", {40, 30, 20, 13, 6, 2, 1, 0}, 900).folder().string()});
    for (const char* page : {"portfolio", "project"}) {
        for (const char* section : {"trends", "output", "insights", "productivity", "projects", "achievements",
                                    "velocity", "milestones", "costs", "git"}) {
            fixture.settings->setValue(QStringLiteral("%1.%2.expanded").arg(page, section), true);
        }
    }
    const auto storedRows = [&] {
        platform::Database reader(fixture.storeFile.string(), platform::Database::Access::readOnly);
        auto count = reader.prepare("SELECT count(*) FROM daily_portfolio_snapshot");
        count.step();
        return std::get<std::int64_t>(count.column(0));
    };
    ASSERT_EQ(storedRows(), 0) << "the tool stores no daily portfolio rows";
    std::optional<norvane::testing::StoreHolder> browser(std::in_place, fixture.storeFile, nullptr, "BEGIN IMMEDIATE");

    Start open(fixture, "atlas");
    ASSERT_TRUE(QTest::qWaitFor([&] { return open.isSettled(); }, 20'000));
    ASSERT_NE(open.state.unsavedDailyRows(), nullptr) << "the store took the rows while another program held it";
    std::vector<QStringList> during;
    for (const auto* window : {&open.portfolio, &open.project, &open.sharing}) during.push_back(figuresShown(*window));
    EXPECT_EQ(storedRows(), 0);

    browser.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return open.state.unsavedDailyRows() == nullptr; }, 20'000))
        << "the rows are stored once the other program lets go";
    EXPECT_GT(storedRows(), 0);
    EXPECT_EQ(differenceFromAFreshStart(fixture, open, "atlas"), "") << "the figures shown during the hold";
    std::size_t window = 0;
    for (const auto* shown : {&open.portfolio, &open.project, &open.sharing})
        EXPECT_EQ(figuresShown(*shown).join(" | ").toStdString(), during[window++].join(" | ").toStdString());
}

// Found with a database browser that kept the write lock for 12 seconds from just after a Collect:
// a project's collection waited the lock out and was left with 27 of its 67 commits, said once as
// failed and never tried again.
TEST(DashboardView, ACollectionThatAnotherProgramKeepsWaitingLandsWholeOnceItLetsGo) {
    TerminalFixture fixture;
    // One project: each project's try waits the lock out before the collection says it waits.
    const auto atlas = fixture.repository("atlas", {30, 20, 10});
    fixture.runTool({"add", "atlas", atlas.folder().string()});
    NorvaneKit kit(NorvaneDatabase::makeContainer(fixture.storeFile));
    Start open(fixture, "", std::make_shared<KitCollectionService>([&kit]() -> NorvaneKit& { return kit; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return open.isSettled(); }, 20'000));
    for (const int day : {3, 2, 1}) TerminalFixture::addModule(atlas, day);
    const auto bookedCommits = [&] {
        std::map<std::string, std::int64_t> booked;
        platform::Database reader(fixture.storeFile.string(), platform::Database::Access::readOnly);
        auto counts = reader.prepare("SELECT p.name, count(*) FROM booked_commit b JOIN project p ON b.project = p.pk "
                                     "GROUP BY p.name");
        while (counts.step())
            booked[std::get<std::string>(counts.column(0))] = std::get<std::int64_t>(counts.column(1));
        return booked;
    };
    ASSERT_EQ(bookedCommits(), (std::map<std::string, std::int64_t>{{"atlas", 3}}));

    std::optional<testing::StoreHold> browser(std::in_place, fixture.storeFile, "BEGIN IMMEDIATE");
    bool done = false;
    open.state.collectAllProjects([&] { done = true; });
    // The other program lets go once the first try has waited the lock out in vain.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return open.state.lastCollectionError().value_or(QString()).startsWith("Waiting to collect"); }, 60'000));
    EXPECT_FALSE(done);
    EXPECT_EQ(open.portfolio.errorBanner().message(), *open.state.lastCollectionError());
    browser.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 60'000));
    EXPECT_EQ(open.state.lastCollectionError().value_or(QString()).toStdString(), "");
    EXPECT_FALSE(open.portfolio.errorBanner().isVisible());
    EXPECT_EQ(bookedCommits(), (std::map<std::string, std::int64_t>{{"atlas", 6}})) << "the project whole";
}

// Found with the window open on the portfolio: after the store's files were deleted and `norvane
// add` made a new store, the window kept the deleted store's figures; after the store's folder was
// deleted too, the window's own Collect wrote into the deleted file, where nobody can read it; with
// another store put in the file's place, the window kept the figures it had.
TEST(DashboardView, TheStoreFileDeletedOrReplacedUnderTheWindowIsFollowedAsAFreshStartShowsIt) {
    TerminalFixture fixture;
    fixture.runTool({"add", "atlas", fixture.repository("atlas", {30, 20, 10}).folder().string()});
    fixture.runTool({"add", "beacon", fixture.repository("beacon", {9, 8, 7, 1}).folder().string()});
    NorvaneKit kit(NorvaneDatabase::makeContainer(fixture.storeFile));
    Start open(fixture, "", std::make_shared<KitCollectionService>([&kit]() -> NorvaneKit& { return kit; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return open.isSettled(); }, 20'000));
    const auto collect = [&] {
        EXPECT_TRUE(testing::finishes([&](auto done) { open.state.collectAllProjects(done); }));
        EXPECT_EQ(open.state.lastCollectionError().value_or(QString()).toStdString(), "");
    };

    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(fixture.storeFile.string() + suffix);
    const auto streak = fixture.repository("streak", {3, 2, 1, 0});
    fixture.runTool({"add", "streak", streak.folder().string()});
    EXPECT_EQ(differenceFromAFreshStart(fixture, open, ""), "") << "after the files were deleted";

    TerminalFixture::addModule(streak, 5);
    collect();
    const auto listed = NorvaneStore::open(fixture.storeFile).listProjects();
    ASSERT_EQ(listed.size(), 1U);
    ASSERT_TRUE(listed.front().newestSnapshot);
    EXPECT_EQ(listed.front().newestSnapshot->codeLines, 5 * 3) << "five modules of three lines, as collected";
    EXPECT_EQ(differenceFromAFreshStart(fixture, open, ""), "") << "after the window's collection";
    const auto saved = fixture.folder.path() / "saved.store";
    platform::Database(fixture.storeFile.string(), platform::Database::Access::readOnly)
        .execute("VACUUM INTO '" + saved.string() + "'");

    std::filesystem::remove_all(fixture.storeFile.parent_path());
    EXPECT_EQ(differenceFromAFreshStart(fixture, open, ""), "") << "after the folder was deleted";
    collect();
    EXPECT_TRUE(NorvaneStore::open(fixture.storeFile).listProjects().empty());

    const auto copy = fixture.folder.path() / "copy.store";
    std::filesystem::copy_file(saved, copy);
    std::filesystem::rename(copy, fixture.storeFile);
    EXPECT_EQ(differenceFromAFreshStart(fixture, open, ""), "") << "after another store took the file's place";
    ASSERT_EQ(open.projects.projects().size(), 1U);
    EXPECT_EQ(open.projects.projects().front().project.name, "streak");

    // A newer version's store, which a start refuses, moved over it: the window says what a start
    // says and shows no figures, until a store that it reads is back.
    const auto newer = fixture.folder.path() / "newer.store";
    std::filesystem::copy_file(saved, newer);
    platform::Database(newer.string(), platform::Database::Access::readWrite)
        .execute("UPDATE norvane_metadata SET value = '9.0.0' WHERE key = 'schemaVersion'");
    std::filesystem::rename(fixture.storeFile, copy);
    std::filesystem::rename(newer, fixture.storeFile);
    for (const DashboardView* window : {&open.portfolio, &open.project}) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->errorBanner().isVisible(); }, 20'000));
        EXPECT_EQ(window->errorBanner().message().toStdString(),
                  "Failed to create ModelContainer: The store " + fixture.storeFile.string() +
                      " was written by a newer version of Norvane (schema 9.0.0); this version reads schema " +
                      NorvaneDatabase::schema().version);
    }
    TerminalFixture empty;
    const Start fresh(empty, "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return fresh.isSettled() && open.isSettled(); }, 20'000));
    for (const auto& [window, again] : {std::pair{&open.portfolio, &fresh.portfolio},
                                        {&open.project, &fresh.project},
                                        {&open.sharing, &fresh.sharing}}) {
        QStringList shown = figuresShown(*window);
        shown.removeIf([](const QString& figure) { return figure.startsWith("Failed to create ModelContainer"); });
        EXPECT_EQ(shown.join(" | ").toStdString(), figuresShown(*again).join(" | ").toStdString())
            << "the figures of a start on an empty store";
    }
    std::filesystem::rename(copy, fixture.storeFile);
    EXPECT_EQ(differenceFromAFreshStart(fixture, open, ""), "") << "once a store that it reads is back";
}

// A project's page open when a newer version's store takes the file's place: the page goes with the
// store's figures, as if the project had gone, and comes back with the store.
TEST(DashboardView, AProjectsPageShowsNoFiguresWhileTheStoreCannotBeOpened) {
    TerminalFixture fixture;
    fixture.runTool({"add", "atlas", fixture.repository("atlas", {3, 2, 1}).folder().string()});
    Start open(fixture, "atlas");
    ASSERT_TRUE(QTest::qWaitFor([&] { return open.isSettled(); }, 20'000));
    const auto atlas = open.projects.projects().front().project.id;
    const auto saved = fixture.folder.path() / "saved.store";
    std::filesystem::rename(fixture.storeFile, saved);
    const auto newer = fixture.folder.path() / "newer.store";
    platform::Database(saved.string(), platform::Database::Access::readOnly)
        .execute("VACUUM INTO '" + newer.string() + "'");
    platform::Database(newer.string(), platform::Database::Access::readWrite)
        .execute("UPDATE norvane_metadata SET value = '9.0.0' WHERE key = 'schemaVersion'");
    std::filesystem::rename(newer, fixture.storeFile);
    ASSERT_TRUE(QTest::qWaitFor([&] { return open.project.errorBanner().isVisible(); }, 20'000));

    TerminalFixture empty;
    const Start fresh(empty, "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return fresh.isSettled(); }, 20'000));
    fresh.project.sidebar().setSelection(SidebarSelection::project(atlas));
    QCoreApplication::processEvents();
    EXPECT_EQ(open.project.findChild<ProjectDetailView*>(), nullptr);
    QStringList shown = figuresShown(open.project);
    shown.removeIf([](const QString& figure) { return figure.startsWith("Failed to create ModelContainer"); });
    EXPECT_EQ(shown.join(" | ").toStdString(), figuresShown(fresh.project).join(" | ").toStdString())
        << "what a start on a store without the project shows";

    std::filesystem::rename(saved, fixture.storeFile);
    EXPECT_EQ(differenceFromAFreshStart(fixture, open, "atlas"), "") << "once a store that it reads is back";
}

// Found by counting the reads: each change by the tool was read twice, as the metrics refresh's
// rebuild of the daily rows, which the history import had changed, was taken for one more change.
TEST(DashboardView, OneChangeOfTheStoreCostsOneRoundOfReads) {
    TerminalFixture fixture;
    std::vector<int> weekly;
    for (int day = 200; day >= 7; day -= 7) weekly.push_back(day);
    fixture.runTool({"add", "atlas", fixture.repository("atlas", weekly).folder().string()});
    const auto beacon = fixture.repository("beacon", {90, 60, 30, 1, 0});
    Start open(fixture, "atlas");
    ASSERT_TRUE(QTest::qWaitFor([&] { return open.isSettled(); }, 20'000));
    QSignalSpy refreshes(&open.state, &AppState::metricsRefreshed);
    QSignalSpy listings(&open.projects, &ProjectListModel::changed);
    QSignalSpy projectPage(open.project.findChild<ProjectDetailView*>(), &ProjectDetailView::loaded);
    QSignalSpy series(&open.portfolio.findChild<PortfolioView*>()->model(), &PortfolioViewModel::seriesChanged);

    // The import books days the daily rows do not hold yet: the refresh writes them.
    fixture.runTool({"add", "beacon", beacon.folder().string()});
    ASSERT_TRUE(QTest::qWaitFor([&] { return refreshes.count() >= 1 && open.isSettled(); }, 20'000));
    // What the round wrote would show now, as a save of this connection's or another's.
    QCoreApplication::processEvents();
    open.store.checkForExternalChanges();
    ASSERT_TRUE(QTest::qWaitFor([&] { return open.isSettled(); }, 20'000));
    EXPECT_EQ(refreshes.count(), 1);
    EXPECT_EQ(listings.count(), 1);
    EXPECT_EQ(projectPage.count(), 1);
    EXPECT_EQ(series.count(), 1);
}

TEST(DashboardView, RefreshIsDisabledWhileACollectionRuns) {
    DashboardFixture fixture;
    auto atlas = fixture.add("Atlas");
    fixture.collection->projectResults["Atlas"] = testing::succeeded(atlas, false);
    fixture.window.show();
    const auto pageTop = [&] {
        QApplication::processEvents();
        return fixture.window.sidebar().mapTo(&fixture.window, QPoint()).y();
    };
    const int idle = pageTop();
    fixture.state->collectProject("Atlas");
    EXPECT_FALSE(fixture.window.refreshButton().isEnabled());
    EXPECT_FALSE(fixture.window.refreshButton().isVisible()) << "the spinner stands in its place";
    EXPECT_EQ(pageTop(), idle) << "the spinner takes the button's room: the window's content stays put";
    EXPECT_TRUE(fixture.state->isCollecting());
}

} // namespace
} // namespace norvane::app
