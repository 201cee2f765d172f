#include "Norvane/pages/ProjectDetailView.h"

#include <cmath>

#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "Norvane/LogCategories.h"
#include "Norvane/cards/MilestonesCard.h"
#include "Norvane/cards/OutputCompositionCard.h"
#include "Norvane/cards/VelocityRetentionCard.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/controls/CollapsibleSection.h"
#include "Norvane/components/controls/LayoutPass.h"
#include "Norvane/components/controls/LayoutTabOrder.h"
#include "Norvane/components/controls/OceanSegmentedPicker.h"
#include "Norvane/components/controls/ScrollAnchor.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/tiles/HeroZoneView.h"
#include "Norvane/components/tiles/SummaryRowView.h"
#include "Norvane/pages/CollectionProgressStrip.h"
#include "Norvane/pages/CostEstimatesView.h"
#include "Norvane/pages/LatestCommitCard.h"
#include "Norvane/pages/PagePlaceholder.h"
#include "Norvane/pages/ProjectHeader.h"
#include "Norvane/pages/ProjectTrendsView.h"
#include "Norvane/state/AppState.h"
#include "Norvane/state/FileManagerReveal.h"

namespace norvane::app {
namespace {

const QList<int> projectDayOptions{30, 90, 365};
constexpr int pageSpacing = 20;
constexpr int leverageModePickerWidth = 180;

struct SectionLook {
    ProjectSection section;
    QString title;
    QString symbol;
    QString key;
    bool expandedByDefault;
};

const std::array<SectionLook, 6> sectionLooks{{
    {ProjectSection::trends, QStringLiteral("Trends"), QStringLiteral("chart.line.uptrend.xyaxis"),
     QStringLiteral("project.trends.expanded"), true},
    {ProjectSection::outputComposition, QStringLiteral("Output Composition"), QStringLiteral("square.stack.3d.up"),
     QStringLiteral("project.output.expanded"), false},
    {ProjectSection::velocityRetention, QStringLiteral("Velocity Retention"), QStringLiteral("gauge.with.needle"),
     QStringLiteral("project.velocity.expanded"), false},
    {ProjectSection::milestones, QStringLiteral("Milestones"), QStringLiteral("flag.checkered"),
     QStringLiteral("project.milestones.expanded"), false},
    {ProjectSection::costEstimates, QStringLiteral("Cost Estimates"), QStringLiteral("dollarsign.circle"),
     QStringLiteral("project.costs.expanded"), false},
    {ProjectSection::latestCommit, QStringLiteral("Latest Commit"),
     QStringLiteral("chevron.left.forwardslash.chevron.right"), QStringLiteral("project.git.expanded"), false},
}};

QWidget* gitHistoryNotice() {
    auto* notice = new RoundedPanel(RoundedPanel::box(Palette::withOpacity(Palette::amber(), 0.1),
                                                      RoundedPanel::defaultPadding, Qt::Horizontal, defaultSpacing));
    notice->contentLayout()->addWidget(
        makeSymbol(QStringLiteral("exclamationmark.triangle.fill"), TextStyle::caption, Palette::amber()));
    auto* text = makeLabel(QStringLiteral("Run 'norvane collect' to gather current metrics (files, complexity, etc.)"),
                           TextStyle::caption, Palette::textPrimary());
    text->setWordWrap(true);
    notice->contentLayout()->addWidget(text, 1);
    return notice;
}

/// A retention of the kind the cache will read for `project`: too early without a baseline.
VelocityRetention standInRetention(const ProjectInfo& project) {
    const auto& baseline = project.baselineVelocity;
    if (!baseline || !std::isfinite(*baseline)) return VelocityRetention::tooEarly();
    return {*baseline, *baseline, 100.0, RetentionAssessment::excellent};
}

template <typename Value, typename Key>
std::optional<Value> entry(const std::map<Key, Value>& cache, const Key& key) {
    const auto found = cache.find(key);
    return found == cache.end() ? std::nullopt : std::optional<Value>(found->second);
}

} // namespace

ProjectDetailView::ProjectDetailView(AppState& appState, NorvaneStore store, ProjectListing project, QWidget* parent)
    : QScrollArea(parent), appState_(appState), store_(std::move(store)), project_(std::move(project.project)),
      listedCommit_(std::move(project.commitSummary)) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The page is as wide before its values come, which make it scroll, as after.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* page = new QWidget;
    page->setAutoFillBackground(true);
    QPalette colours = page->palette();
    colours.setColor(QPalette::Window, Palette::backgroundDeep());
    page->setPalette(colours);
    auto* layout = new QVBoxLayout(page);
    const int padding = RoundedPanel::defaultPadding;
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(pageSpacing);
    strip_ = new CollectionProgressStrip;
    layout->addWidget(strip_);
    header_ = new ProjectHeader;
    layout->addWidget(header_);

    body_ = new QWidget;
    auto* body = new QVBoxLayout(body_);
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(pageSpacing);
    body->addWidget(makeHero());
    summary_ = new SummaryRowView({});
    body->addWidget(summary_);
    makeSections(*body);
    body->addWidget(makeEmptyStates());
    layout->addWidget(body_);
    layout->addStretch(1);
    // The page grows to hold what it gets before its rows are placed, and the values below the
    // header are never squeezed: laid out at the old height, they would be.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    body_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setWidget(page);
    // The progress strip and cards shown above the reader leave what is read in place.
    new ScrollAnchor(*this, {layout, body});

    connectState();
    render();
    load();
}

bool ProjectDetailView::focusNextPrevChild(bool next) {
    // Sections and cards are made as they open and as the reads come: Tab follows the page.
    LayoutTabOrder::apply(*widget());
    return QScrollArea::focusNextPrevChild(next);
}

QWidget* ProjectDetailView::makeHero() {
    QList<OceanSegmentedPicker::Option> modes;
    for (const auto mode : ProjectDetailModel::leverageModes) {
        modes.append({ProjectDetailModel::rawValue(mode), ProjectDetailModel::rawValue(mode)});
    }
    modePicker_ = new OceanSegmentedPicker(appState_.preferences().projectLeverageMode(), modes);
    modePicker_->setFixedWidth(leverageModePickerWidth);
    connect(modePicker_, &OceanSegmentedPicker::selectionChanged, this,
            [this](const QVariant& mode) { appState_.preferences().setProjectLeverageMode(mode.toString()); });
    const QString noValue = QString::fromLatin1(noValueText);
    hero_ = new HeroZoneView(HeroMetric(noValue, QStringLiteral("Leverage")),
                             HeroMetric(noValue, QStringLiteral("Maturity")), {}, modePicker_);
    return hero_;
}

void ProjectDetailView::makeSections(QVBoxLayout& layout) {
    auto& settings = appState_.preferences().settings();
    const std::array<CollapsibleSection::ContentFactory, 6> factories{
        [this] {
            trends_ = new ProjectTrendsView(selectedTimeRange_);
            connect(trends_, &ProjectTrendsView::timeRangeChanged, this, [this](TimeRange range) {
                selectedTimeRange_ = range;
                trends_->setTimeRange(range);
            });
            fillTrends();
            return trends_;
        },
        [this] {
            compositionCard_ = new OutputCompositionCard({}, compositionDays_, projectDayOptions);
            connect(compositionCard_, &OutputCompositionCard::daysChanged, this,
                    &ProjectDetailView::setCompositionDays);
            fillComposition();
            return compositionCard_;
        },
        [this] {
            velocityHolder_ = wrap(makeColumn(0));
            fillVelocity();
            return velocityHolder_;
        },
        [this] {
            milestonesCard_ = new MilestonesCard({}, std::nullopt);
            fillMilestones();
            return milestonesCard_;
        },
        [this] {
            costEstimates_ = new CostEstimatesView;
            fillCosts();
            return costEstimates_;
        },
        [this] {
            latestCommitCard_ = new LatestCommitCard;
            fillLatestCommit();
            return latestCommitCard_;
        },
    };
    for (std::size_t index = 0; index < sectionLooks.size(); ++index) {
        const auto& look = sectionLooks[index];
        sections_[index] = new CollapsibleSection(look.title, look.symbol, settings, look.key, look.expandedByDefault,
                                                  factories[index]);
        layout.addWidget(sections_[index]);
    }
}

QWidget* ProjectDetailView::makeEmptyStates() {
    auto* column = makeColumn(0);
    noData_ = new PagePlaceholder(QStringLiteral("chart.bar.xaxis"), QStringLiteral("No Data Yet"),
                                  QStringLiteral("Run collection to gather metrics for this project."));
    noData_->setMinimumHeight(240);
    column->addWidget(noData_);
    gitHistoryNotice_ = gitHistoryNotice();
    column->addWidget(gitHistoryNotice_);
    return wrap(column);
}

void ProjectDetailView::connectState() {
    connect(&appState_, &AppState::isCollectingChanged, header_, &ProjectHeader::setCollecting);
    connect(&appState_, &AppState::collectionProgressChanged, this, &ProjectDetailView::renderProgress);
    connect(&appState_, &AppState::metricsCacheChanged, this, &ProjectDetailView::scheduleRender);
    connect(&appState_.preferences(), &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKey::projectLeverageMode || key == PreferenceKey::averageWage ||
            key == PreferenceKey::overhead)
            scheduleRender();
        if (key == PreferenceKey::marketHourlyRate) fillCosts();
    });
    // The page keeps no hold on a collection it starts: leaving the page does not stop it.
    connect(header_, &ProjectHeader::collectMetricsRequested, this,
            [this] { appState_.collectProject(QString::fromStdString(project_.name)); });
    connect(header_, &ProjectHeader::fullCollectionRequested, this,
            [this] { appState_.collectProjectWithHistory(QString::fromStdString(project_.name)); });
    connect(header_, &ProjectHeader::showFolderRequested, this,
            [this] { FileManagerReveal::showFolder(project_.path); });
}

void ProjectDetailView::setProject(ProjectListing project) {
    const bool another = project.project.id != project_.id;
    project_ = std::move(project.project);
    listedCommit_ = std::move(project.commitSummary);
    if (another) {
        // Nothing of the previous project stays on screen while this one's values are read.
        data_.reset();
        verticalScrollBar()->setValue(0);
    } else {
        // The same project read anew: the store has changed.
        milestoneAverages_.clear();
    }
    render();
    load();
}

bool ProjectDetailView::isLoaded() const { return data_ && data_->request == request() && !loader_.isLoading(); }

ProjectPageRequest ProjectDetailView::request() const { return {project_.id, compositionDays_, velocityDays_}; }

void ProjectDetailView::load() {
    loader_.request(
        [store = store_, request = request(), known = milestoneAverages_] {
            // Over a connection of its own: the window's is for the window's thread alone.
            return store.separateConnection().projectPage(request, known, platform::currentDate());
        },
        [this](std::optional<std::optional<ProjectPageData>> result, const QString& error) {
            if (!result) {
                qCWarning(pagesLog, "Failed to read the project page: %s", qUtf8Printable(error));
                return;
            }
            // A project deleted meanwhile: the main window moves to its not-found page.
            if (!*result || (*result)->request.projectId != project_.id) return;
            data_ = std::move(**result);
            if (const auto next = data_->milestones.nextMilestone) milestoneAverages_[*next] = data_->averageDaysToNext;
            render();
            emit loaded();
        });
}

void ProjectDetailView::scheduleRender() {
    // The caches change one project at a time; the page follows once they are all in.
    if (renderScheduled_) return;
    renderScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        renderScheduled_ = false;
        render();
    });
}

void ProjectDetailView::render() {
    header_->setProject(project_);
    header_->setCommitSummary(listedCommit_);
    header_->setCollecting(appState_.isCollecting());
    renderProgress();
    if (data_) {
        renderBody();
    } else {
        body_->hide();
    }
    LayoutPass::run(*widget());
}

void ProjectDetailView::renderBody() {
    const ProjectDetailModel model(project_, *data_, cachedFigures(), platform::currentDate(), costRates());
    renderHero(model);
    summary_->setStats(model.summaryStats());
    renderSections(model);
    if (body_->isHidden()) revealBody();
}

void ProjectDetailView::revealBody() {
    // Shown first, the values would be drawn in the room they had while hidden, some of it made
    // for the previous project.
    LayoutPass::run(*body_);
    body_->resize(widget()->width() - 2 * RoundedPanel::defaultPadding, body_->sizeHint().height());
    body_->show();
}

std::optional<CachedProjectFigures> ProjectDetailView::cachedFigures() const {
    const auto& id = project_.id;
    CachedProjectFigures figures{entry(appState_.cachedProjectLeverage(), id),
                                 appState_.cachedProjectComposition().contains(id),
                                 appState_.cachedProjectVelocityRetention().contains(id)};
    const bool held = figures.leverage || figures.hasComposition || figures.hasRetention;
    // The cache reads every project that is not archived: one it lacks comes with the refresh
    // under way, as the first refresh brings them all.
    const bool comes = project_.status != ProjectStatus::archived || !appState_.metricsLoaded();
    if (!held && comes && appState_.isRefreshingMetrics()) return std::nullopt;
    return figures;
}

void ProjectDetailView::renderHero(const ProjectDetailModel& model) {
    const QString storedMode = appState_.preferences().projectLeverageMode();
    const auto mode = ProjectDetailModel::leverageMode(storedMode);
    modePicker_->setSelection(ProjectDetailModel::rawValue(mode));
    hero_->setMetrics(model.leverageMetric(mode), model.maturityMetric());
}

void ProjectDetailView::renderSections(const ProjectDetailModel& model) {
    const auto shown = model.visibleSections();
    for (std::size_t index = 0; index < sections_.size(); ++index) {
        sections_[index]->setVisible(std::find(shown.begin(), shown.end(), sectionLooks[index].section) != shown.end());
    }
    fillTrends();
    fillComposition();
    fillVelocity();
    fillMilestones();
    fillCosts();
    fillLatestCommit();
    const auto empty = model.emptyState();
    noData_->setVisible(empty == ProjectEmptyState::noData);
    gitHistoryNotice_->setVisible(empty == ProjectEmptyState::gitHistoryOnly);
}

void ProjectDetailView::renderProgress() {
    const auto& progress = appState_.collectionProgress();
    const bool ours = progress && progress->projectName == QString::fromStdString(project_.name);
    strip_->setVisible(ours);
    if (ours) strip_->setProgress(*progress);
}

void ProjectDetailView::fillTrends() {
    if (trends_ && data_) trends_->setHistory(data_->history, project_.firstCommitAt, costRates());
}

void ProjectDetailView::fillComposition() {
    if (!compositionCard_ || !data_) return;
    // The picker names the window of the figures shown; a new choice shows once its figures are in.
    compositionCard_->setComposition(data_->composition);
    compositionCard_->setSelectedDays(data_->request.compositionDays);
}

void ProjectDetailView::fillVelocity() {
    if (!velocityHolder_ || !data_) return;
    auto retention = entry(appState_.cachedProjectVelocityRetention(), project_.id);
    const bool pending = !retention && !cachedFigures();
    if (!retention && !pending) return;
    // The card takes its figures once; new figures take a new card. Until the cache has read the
    // project, a card of the same kind keeps its room, hidden: whether a baseline exists decides it.
    if (pending) retention = standInRetention(project_);
    delete velocityCard_;
    velocityCard_ = new VelocityRetentionCard(
        {*retention, data_->velocity, data_->request.velocityDays, projectDayOptions, std::nullopt, std::nullopt});
    connect(velocityCard_, &VelocityRetentionCard::daysChanged, this, &ProjectDetailView::setVelocityDays);
    QSizePolicy policy = velocityCard_->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    velocityCard_->setSizePolicy(policy);
    velocityHolder_->layout()->addWidget(velocityCard_);
    velocityCard_->setVisible(!pending);
}

void ProjectDetailView::fillMilestones() {
    if (milestonesCard_ && data_) milestonesCard_->setProgress(data_->milestones, data_->averageDaysToNext);
}

void ProjectDetailView::fillCosts() {
    if (!costEstimates_ || !data_ || !data_->latestMeasurement) return;
    costEstimates_->setComparison(CostComparison(*data_->latestMeasurement, project_.projectType, costRates(),
                                                 appState_.preferences().marketHourlyRate()));
}

void ProjectDetailView::fillLatestCommit() {
    if (latestCommitCard_ && data_ && data_->newestCommit) latestCommitCard_->setCommit(*data_->newestCommit);
}

CostRates ProjectDetailView::costRates() const {
    return {appState_.preferences().averageWage(), appState_.preferences().overhead()};
}

void ProjectDetailView::setCompositionDays(int days) {
    compositionDays_ = days;
    load();
}

void ProjectDetailView::setVelocityDays(int days) {
    velocityDays_ = days;
    load();
}

CollapsibleSection& ProjectDetailView::section(ProjectSection section) const {
    return *sections_[static_cast<std::size_t>(section)];
}

std::vector<ProjectSection> ProjectDetailView::shownSections() const {
    std::vector<ProjectSection> shown;
    for (std::size_t index = 0; index < sections_.size(); ++index) {
        if (!body_->isHidden() && !sections_[index]->isHidden()) shown.push_back(sectionLooks[index].section);
    }
    return shown;
}

ProjectEmptyState ProjectDetailView::shownEmptyState() const {
    if (body_->isHidden()) return ProjectEmptyState::none;
    if (!noData_->isHidden()) return ProjectEmptyState::noData;
    return gitHistoryNotice_->isHidden() ? ProjectEmptyState::none : ProjectEmptyState::gitHistoryOnly;
}

} // namespace norvane::app
