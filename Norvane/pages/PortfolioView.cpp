#include "Norvane/pages/PortfolioView.h"

#include <algorithm>
#include <utility>

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include "Norvane/cards/AchievementsCard.h"
#include "Norvane/cards/OptInPromptCard.h"
#include "Norvane/cards/StreakCard.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/controls/CollapsibleSection.h"
#include "Norvane/components/controls/LayoutPass.h"
#include "Norvane/components/controls/LayoutTabOrder.h"
#include "Norvane/components/controls/ScrollAnchor.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/components/tiles/HeroZoneView.h"
#include "Norvane/components/tiles/SummaryRowView.h"
#include "Norvane/pages/PortfolioExport.h"
#include "Norvane/pages/PortfolioFigures.h"
#include "Norvane/pages/PortfolioInsightsSection.h"
#include "Norvane/pages/PortfolioOutputSection.h"
#include "Norvane/pages/PortfolioProductivitySection.h"
#include "Norvane/pages/PortfolioProjectsSection.h"
#include "Norvane/pages/PortfolioTrendsSection.h"
#include "Norvane/pages/ProjectListModel.h"
#include "Norvane/pages/SheetDialog.h"
#include "Norvane/sheets/ExportSheet.h"
#include "Norvane/sheets/OnboardingView.h"
#include "Norvane/sheets/ShareSummarySheet.h"
#include "Norvane/state/AppState.h"
#include "Norvane/state/StoreChanges.h"

namespace norvane::app {
namespace {

constexpr int portfolioRowSpacing = 20;
constexpr int menuSymbolSize = 16;

struct PortfolioSectionLook {
    const char* title;
    const char* symbol;
    const char* key;
    bool expandedByDefault;
};

constexpr std::array<PortfolioSectionLook, 6> portfolioSectionLooks{{
    {"Trends", "chart.line.uptrend.xyaxis", "portfolio.trends.expanded", true},
    {"Output Composition", "square.stack.3d.up", "portfolio.output.expanded", false},
    {"Insights", "lightbulb", "portfolio.insights.expanded", false},
    {"Productivity", "gauge.with.needle", "portfolio.productivity.expanded", false},
    {"Projects", "folder", "portfolio.projects.expanded", false},
    {"Achievements", "trophy", "portfolio.achievements.expanded", false},
}};

QIcon sectionSymbolIcon(const QString& name) {
    SymbolLabel symbol(name, menuSymbolSize, Palette::textPrimary());
    return QIcon(symbol.grab());
}

bool hasListedProject(const std::vector<ProjectListing>& projects) {
    return std::any_of(projects.begin(), projects.end(),
                       [](const auto& listing) { return listing.project.status != ProjectStatus::archived; });
}

bool showsStreak(const std::optional<ProductivityStreak>& streak) { return streak && streak->currentStreak >= 1; }

} // namespace

PortfolioView::PortfolioView(AppState& appState, ProjectListModel& projectList, PortfolioServices services,
                             QWidget* parent)
    : QWidget(parent), appState_(appState), projects_(projectList),
      model_(std::move(services), appState.preferences()) {
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    content_ = new QWidget;
    auto* column = makeColumn(portfolioRowSpacing);
    column->setContentsMargins(RoundedPanel::defaultPadding, RoundedPanel::defaultPadding, RoundedPanel::defaultPadding,
                               RoundedPanel::defaultPadding);
    column->addWidget(makeHeader());
    auto* welcome = new OnboardingView;
    connect(welcome, &OnboardingView::addProjectRequested, this, &PortfolioView::addProjectRequested);
    welcome_ = welcome;
    column->addWidget(welcome_);
    column->addWidget(makeRows());
    column->addStretch(1);
    // The page grows to hold what it gets before its rows are placed: a card shown deep inside
    // lays the page out at once, and at the old height the charts above would be squeezed.
    column->setSizeConstraint(QLayout::SetMinimumSize);
    content_->setLayout(column);
    scroll->setWidget(content_);
    // Cards shown above the reader by new figures (the streak) leave what is read in place.
    scrollAnchor_ = new ScrollAnchor(*scroll, {rows_->layout()});
    auto* layout = makeColumn(0);
    layout->addWidget(scroll);
    setLayout(layout);

    changes_.setSingleShot(true);
    storeChanges_.setSingleShot(true);
    storeChanges_.setInterval(StoreChanges::settleMilliseconds);
    connectModel();
    showListedProjects();
}

PortfolioView::~PortfolioView() { delete sheet_.data(); }

bool PortfolioView::isSettled() const {
    return model_.hasSettled() && !changes_.isActive() && !storeChanges_.isActive() && !appState_.isRefreshingMetrics();
}

QString PortfolioView::sectionKey(Section which) { return QString::fromLatin1(portfolioSectionLooks[which].key); }

QWidget* PortfolioView::makeHeader() {
    auto* header = makeRow(defaultSpacing);
    header->addWidget(
        makeLabel(QStringLiteral("Portfolio Overview"), TextStyle::title, Palette::textPrimary(), QFont::Bold));
    header->addStretch(1);
    auto* menuButton = new QToolButton;
    menuButton->setObjectName(QStringLiteral("portfolioMenu"));
    menuButton->setAutoRaise(true);
    menuButton->setPopupMode(QToolButton::InstantPopup);
    menuButton->setStyleSheet(QStringLiteral("QToolButton { color: %1; border: none; }"
                                             "QToolButton::menu-indicator { image: none; }")
                                  .arg(Palette::textSecondary().name()));
    menuButton->setFont(SymbolRegistry::font(Typography::pixelSize(TextStyle::title3)));
    menuButton->setText(SymbolRegistry::text(QStringLiteral("ellipsis.circle")));
    auto* menu = new QMenu(menuButton);
    share_ = menu->addAction(sectionSymbolIcon(QStringLiteral("square.and.arrow.up.on.square")),
                             QStringLiteral("Share Portfolio"), this, &PortfolioView::showShareSheet);
    export_ = menu->addAction(sectionSymbolIcon(QStringLiteral("square.and.arrow.up")), QStringLiteral("Export Data"),
                              this, &PortfolioView::showExportSheet);
    menuButton->setMenu(menu);
    header->addWidget(menuButton);
    return wrap(header);
}

QWidget* PortfolioView::makeRows() {
    const auto& state = model_.state();
    const auto [leverage, index] =
        PortfolioFigures::heroMetrics(appState_.cachedPortfolioMetrics(), state, platform::currentDate());
    hero_ =
        new HeroZoneView(leverage, index, PortfolioFigures::sparkline(appState_.cachedRollingLeverageData()), nullptr);
    // Before the first figures the trend keeps its room, and keeps it when none comes: the rows
    // under the hero, drawn meanwhile, stay where they were.
    hero_->setSparklinePending(!appState_.metricsLoaded());
    summary_ = new SummaryRowView(PortfolioFigures::summaryStats(appState_.cachedPortfolioMetrics(), state));
    streak_ = new StreakCard(state.productivityStreak);
    streak_->setVisible(showsStreak(state.productivityStreak));
    auto* rows = makeColumn(portfolioRowSpacing);
    rows->addWidget(hero_);
    rows->addWidget(summary_);
    rows->addWidget(streak_);
    makeSections(rows);
    optIn_ = new OptInPromptCard(appState_.preferences().cachedContributorCount());
    connect(optIn_, &OptInPromptCard::optInRequested, &model_, &PortfolioViewModel::optInToAnonymousMetrics);
    connect(optIn_, &OptInPromptCard::learnMoreRequested, this, &PortfolioView::settingsRequested);
    rows->addWidget(optIn_);
    rows_ = wrap(rows);
    // Never squeezed below the room its cards ask for (with the page's minimum size, above).
    rows_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return rows_;
}

void PortfolioView::makeSections(QVBoxLayout* rows) {
    auto& settings = appState_.preferences().settings();
    for (std::size_t index = 0; index < portfolioSectionLooks.size(); ++index) {
        const auto& look = portfolioSectionLooks[index];
        const auto which = static_cast<Section>(index);
        sections_[index] = new CollapsibleSection(QString::fromLatin1(look.title), QString::fromLatin1(look.symbol),
                                                  settings, QString::fromLatin1(look.key), look.expandedByDefault,
                                                  [this, which] { return makeSectionContent(which); });
        rows->addWidget(sections_[index]);
    }
}

QWidget* PortfolioView::makeSectionContent(Section which) {
    const auto& state = model_.state();
    const auto& metrics = appState_.cachedPortfolioMetrics();
    switch (which) {
    case trends:
        trends_ = new PortfolioTrendsSection(state.selectedTimeRange, appState_.cachedRollingLeverageData(), metrics,
                                             !appState_.metricsLoaded());
        trends_->setActivity(state.hasHistory, PortfolioFigures::activeDays(state));
        connect(trends_, &PortfolioTrendsSection::timeRangeChanged, &model_, &PortfolioViewModel::setTimeRange);
        return trends_;
    case output:
        output_ = new PortfolioOutputSection(state);
        connect(output_, &PortfolioOutputSection::compositionDaysChanged, &model_,
                &PortfolioViewModel::setCompositionDays);
        return output_;
    case insights: return insights_ = new PortfolioInsightsSection(state);
    case productivity:
        productivity_ = new PortfolioProductivitySection(state, metrics);
        connect(productivity_, &PortfolioProductivitySection::timeRangeRequested, this,
                [this](TimeRange range, QWidget* offer) {
                    scrollAnchor_->hold(*offer);
                    showTimeRange(range);
                });
        return productivity_;
    case projects: return projectsContent_ = new PortfolioProjectsSection(state.projects);
    case achievements: return achievements_ = new AchievementsCard(state.achievements);
    }
    return nullptr;
}

void PortfolioView::connectModel() {
    connect(&model_, &PortfolioViewModel::projectsChanged, this, [this] { showLater(changedProjects); });
    connect(&model_, &PortfolioViewModel::seriesChanged, this, [this] { showLater(changedSeries); });
    connect(&model_, &PortfolioViewModel::isLoadingMetricsChanged, this, [this](bool loading) {
        if (productivity_) productivity_->setLoading(loading);
    });
    connect(&model_, &PortfolioViewModel::indexFiguresChanged, this, [this] { showLater(changedIndexFigures); });
    connect(&model_, &PortfolioViewModel::benchmarksChanged, this, [this] { showLater(changedBenchmarks); });
    connect(&appState_, &AppState::metricsCacheChanged, this, [this] { showLater(changedCache); });
    connect(&changes_, &QTimer::timeout, this, &PortfolioView::showChanges);
    // A failed load changes no figure, but its section then knows its room all the same.
    connect(&model_, &PortfolioViewModel::settled, this, [this] { showLater(0); });
    connect(&projects_, &ProjectListModel::changed, this, [this] {
        showListedProjects();
        model_.loadProjects();
        storeChanges_.start();
    });
    connect(&storeChanges_, &QTimer::timeout, &model_, &PortfolioViewModel::loadIndexMetrics);
    // The series are read from the daily rows that the state's refresh rebuilds: after it.
    connect(&appState_, &AppState::metricsRefreshed, this, [this] {
        if (hasAppeared_) loadSeries();
    });
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (hasAppeared_ && state == Qt::ApplicationActive) loadSeries();
    });
    connect(&appState_.preferences(), &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKey::shareAnonymousMetrics || key == PreferenceKey::cachedContributorCount) showOptIn();
    });
}

void PortfolioView::showLater(int changes) {
    changed_ |= changes;
    changes_.start(0);
}

void PortfolioView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (hasAppeared_) return;
    hasAppeared_ = true;
    model_.loadProjects();
    model_.loadIndexMetrics();
    if (!appState_.isRefreshingMetrics()) loadSeries();
}

void PortfolioView::loadSeries() { model_.loadMetrics(appState_.unsavedDailyRows()); }

bool PortfolioView::focusNextPrevChild(bool next) {
    // Sections and cards are made as they open and as figures come: Tab follows the page.
    LayoutTabOrder::apply(*this);
    return QWidget::focusNextPrevChild(next);
}

void PortfolioView::showListedProjects() {
    const bool listed = hasListedProject(projects_.projects());
    welcome_->setVisible(!listed);
    // The rows wait for the figures that decide what they hold and where: drawn before, they would
    // show totals of no project and move down when a streak's card came.
    const auto& state = model_.state();
    rows_->setVisible(listed && state.projectsRead && state.streakRead);
    revealReadSections();
}

void PortfolioView::revealReadSections() {
    // The sections come in page order as the figures that decide their room are read, and the
    // invitation after them: nothing drawn moves for a section above it that fills later.
    while (revealed_ < sections_.size() && knowsItsRoom(static_cast<Section>(revealed_))) {
        // Laid out in the room it will have before it shows: shown first, it would be drawn in the
        // room it had when it was made.
        CollapsibleSection& section = *sections_[revealed_++];
        if (!section.isHidden()) continue;
        section.resize(rows_->width(), section.sizeHint().height());
        LayoutPass::run(section);
    }
    for (std::size_t index = 0; index < sections_.size(); ++index) sections_[index]->setVisible(index < revealed_);
    showOptIn();
}

bool PortfolioView::knowsItsRoom(Section which) const {
    if (!sections_[which]->isExpanded()) return true;
    const auto& state = model_.state();
    switch (which) {
    case output:
    case achievements: return state.indexRead;
    case insights: return state.seriesRead;
    // The tiles and the personal bests come with the state's first figures.
    case productivity:
        return state.seriesRead && (appState_.cachedPortfolioMetrics() || !appState_.isRefreshingMetrics());
    // The leverage trend is a chart, once the state's first figures hold one; else a shorter panel
    // saying why there is none, which the page's series tell.
    case trends:
        return (appState_.metricsLoaded() || !appState_.isRefreshingMetrics()) &&
               (trends_->chart().isShowingChart() || state.seriesRead);
    // The projects are read for the first frame.
    case projects: return true;
    }
    return true;
}

void PortfolioView::showChanges() {
    const int changed = std::exchange(changed_, 0);
    const auto& state = model_.state();
    const auto& metrics = appState_.cachedPortfolioMetrics();
    const auto [leverage, index] = PortfolioFigures::heroMetrics(metrics, state, platform::currentDate());
    hero_->setMetrics(leverage, index);
    summary_->setStats(PortfolioFigures::summaryStats(metrics, state));
    if (changed & changedCache) showCachedMetrics();
    if (changed & changedIndexFigures) {
        streak_->setStreak(state.productivityStreak);
        streak_->setVisible(showsStreak(state.productivityStreak));
    }
    if (output_ && changed & (changedIndexFigures | changedBenchmarks)) output_->setState(state);
    if (insights_ && changed & (changedSeries | changedBenchmarks)) insights_->setState(state);
    if (productivity_ && changed & changedSeries) productivity_->setSeries(state);
    if (trends_ && changed & changedSeries) trends_->setActivity(state.hasHistory, PortfolioFigures::activeDays(state));
    if (achievements_ && changed & changedBenchmarks) achievements_->setAchievements(state.achievements);
    if (projectsContent_ && changed & changedProjects) projectsContent_->setProjects(state.projects);
    if (exportSheet_) exportSheet_->showDocument();
    if (shareSheet_) shareSheet_->showFigures();
    showListedProjects();
    // A card made anew inside a shown page would be shown a turn later, and laid out from the
    // inside first: a window may draw in between, the card without its body or its texts cut.
    LayoutPass::run(*content_);
}

void PortfolioView::showCachedMetrics() {
    const auto& metrics = appState_.cachedPortfolioMetrics();
    hero_->setSparklineData(PortfolioFigures::sparkline(appState_.cachedRollingLeverageData()));
    if (trends_) {
        trends_->setLeverage(appState_.cachedRollingLeverageData());
        trends_->setMetrics(metrics, !appState_.metricsLoaded());
    }
    if (productivity_) productivity_->setMetrics(metrics);
}

void PortfolioView::showTimeRange(TimeRange range) {
    if (trends_) trends_->setTimeRange(range);
    model_.setTimeRange(range);
}

void PortfolioView::showOptIn() {
    const auto& preferences = appState_.preferences();
    optIn_->setContributorCount(preferences.cachedContributorCount());
    optIn_->setVisible(!preferences.shareAnonymousMetrics() && revealed_ == sections_.size());
}

void PortfolioView::showShareSheet() {
    if (sheet_) return;
    shareSheet_ = new ShareSummarySheet(
        [this] { return PortfolioExport::shareableMetrics(appState_.cachedPortfolioMetrics(), model_.state()); },
        appState_.saveFolder());
    sheet_ = SheetDialog::present(*window(), shareSheet_);
}

void PortfolioView::showExportSheet() {
    if (sheet_) return;
    exportSheet_ =
        new ExportSheet([this] { return PortfolioExport::document(model_.state()); }, appState_.saveFolder());
    sheet_ = SheetDialog::present(*window(), exportSheet_);
}

} // namespace norvane::app
