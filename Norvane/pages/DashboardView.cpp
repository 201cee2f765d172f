#include "Norvane/pages/DashboardView.h"

#include <QHBoxLayout>
#include <QMenuBar>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "Norvane/components/controls/BusyIndicator.h"
#include "Norvane/components/theme/FocusRing.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/pages/ErrorBanner.h"
#include "Norvane/pages/PagePlaceholder.h"
#include "Norvane/pages/PortfolioView.h"
#include "Norvane/pages/ProjectDetailView.h"
#include "Norvane/pages/ProjectListModel.h"
#include "Norvane/pages/SheetDialog.h"
#include "Norvane/pages/Sidebar.h"
#include "Norvane/sheets/AddProjectSheet.h"
#include "Norvane/state/AppState.h"

namespace norvane::app {
namespace {

void fillBackground(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, colour);
    widget->setPalette(colours);
}

} // namespace

QWidget* DashboardView::makeDetailContent(const DetailPage& page) {
    switch (page.kind) {
    case DetailPage::Kind::none:
        return new PagePlaceholder(QStringLiteral("folder"), QStringLiteral("Select a Project"),
                                   QStringLiteral("Choose a project from the sidebar to view its metrics."));
    case DetailPage::Kind::portfolio: return makePortfolioView();
    case DetailPage::Kind::project: return new ProjectDetailView(appState_, projects_.store(), *page.project);
    case DetailPage::Kind::projectNotFound:
        return new PagePlaceholder(QStringLiteral("folder"), QStringLiteral("Project Not Found"),
                                   QStringLiteral("This project may have been removed."));
    }
    return nullptr;
}

DashboardView::DashboardView(AppState& appState, ProjectListModel& projects, QWidget* parent)
    : QMainWindow(parent), appState_(appState), projects_(projects) {
    setWindowTitle(QStringLiteral("Norvane"));
    setMinimumHeight(minimumHeight);
    resize(1100, 720);
    // The menu bar and the toolbar read as one band across the top of the window.
    menuBar()->setStyleSheet(QStringLiteral("QMenuBar { background: %1; }").arg(Palette::backgroundBase().name()));
    auto* central = new QWidget(this);
    fillBackground(central, Palette::backgroundDeep());
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeToolbar());
    auto* split = new QSplitter(Qt::Horizontal, central);
    split->setHandleWidth(1);
    sidebar_ = new Sidebar(split);
    detailPane_ = new QWidget(split);
    detailPane_->setMinimumWidth(minimumPageWidth);
    fillBackground(detailPane_, Palette::backgroundDeep());
    detailLayout_ = new QHBoxLayout(detailPane_);
    split->addWidget(sidebar_);
    split->addWidget(detailPane_);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 880});
    layout->addWidget(split, 1);
    setCentralWidget(central);
    banner_ = new ErrorBanner(central);

    connect(sidebar_, &Sidebar::selectionChanged, this, &DashboardView::showDetail);
    connect(sidebar_, &Sidebar::addProjectRequested, this, &DashboardView::showAddProjectSheet);
    connect(&projects_, &ProjectListModel::changed, this, [this] {
        sidebar_->setProjects(projects_.projects());
        showDetail();
        updateRefreshButton();
        updateBanner();
    });
    connect(&appState_, &AppState::isCollectingChanged, this, &DashboardView::updateRefreshButton);
    connect(&appState_, &AppState::lastCollectionErrorChanged, this, &DashboardView::updateBanner);
    connect(banner_, &ErrorBanner::closeRequested, this, [this] {
        banner_->hide();
        appState_.setLastCollectionError(std::nullopt);
    });
    sidebar_->setProjects(projects_.projects());
    showDetail();
    updateRefreshButton();
    updateBanner();
    // Not the refresh button, the first control, where Space would start a collection.
    FocusRing::restFocus(*this);
}

QWidget* DashboardView::makeToolbar() {
    auto* bar = new QWidget(this);
    fillBackground(bar, Palette::backgroundBase());
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(12, 6, 12, 6);
    layout->addStretch();
    refreshButton_ = new QToolButton;
    refreshButton_->setObjectName(QStringLiteral("refresh"));
    refreshButton_->setAutoRaise(true);
    refreshButton_->setFont(SymbolRegistry::font(16));
    refreshButton_->setText(SymbolRegistry::text(QStringLiteral("arrow.clockwise")));
    refreshButton_->setToolTip(QStringLiteral("Collect metrics for all projects"));
    connect(refreshButton_, &QToolButton::clicked, this, [this] { appState_.collectAllProjects(); });
    spinner_ = new BusyIndicator(16);
    // The spinner stands in the button's place at the button's size, so the window does not move.
    auto* place = new QWidget(bar);
    place->setFixedSize(refreshButton_->sizeHint());
    auto* placeLayout = new QHBoxLayout(place);
    placeLayout->setContentsMargins(0, 0, 0, 0);
    placeLayout->addWidget(spinner_, 0, Qt::AlignCenter);
    placeLayout->addWidget(refreshButton_, 0, Qt::AlignCenter);
    layout->addWidget(place);
    return bar;
}

void DashboardView::showDetail() {
    const auto page = DashboardModel::detailPage(sidebar_->selection(), projects_.projects());
    const bool same =
        detailContent_ && page.kind == detailPage_.kind &&
        (page.kind != DetailPage::Kind::project || page.project->project.id == detailPage_.project->project.id);
    const bool projectToProject =
        detailContent_ && page.kind == DetailPage::Kind::project && detailPage_.kind == DetailPage::Kind::project;
    detailPage_ = page;
    if (projectToProject) {
        // One project page serves the next project too, so the choices made on it carry over.
        static_cast<ProjectDetailView*>(detailContent_)->setProject(*page.project);
        return;
    }
    if (same) return;
    delete detailContent_;
    detailContent_ = makeDetailContent(page);
    detailLayout_->addWidget(detailContent_);
}

QWidget* DashboardView::makePortfolioView() {
    auto* page = new PortfolioView(appState_, projects_, PortfolioServices::standard(projects_.store()));
    connect(page, &PortfolioView::addProjectRequested, this, &DashboardView::showAddProjectSheet);
    connect(page, &PortfolioView::settingsRequested, this, &DashboardView::settingsRequested);
    return page;
}

void DashboardView::updateRefreshButton() {
    const bool collecting = appState_.isCollecting();
    refreshButton_->setVisible(!collecting);
    spinner_->setVisible(collecting);
    refreshButton_->setEnabled(DashboardModel::isRefreshEnabled(collecting, projects_.projects()));
}

QString DashboardView::storeFailureText(const std::string& reason) {
    return QStringLiteral("Failed to create ModelContainer: ") + QString::fromStdString(reason);
}

void DashboardView::updateBanner() {
    const auto& storeFailure = projects_.storeFailure();
    const auto error = storeFailure ? std::optional(storeFailureText(*storeFailure)) : appState_.lastCollectionError();
    banner_->setVisible(error.has_value());
    if (!error) return;
    banner_->setMessage(*error);
    placeBanner();
    banner_->raise();
}

void DashboardView::placeBanner() {
    const QWidget* area = centralWidget();
    const int margin = 16;
    const int width = std::min(area->width() - 2 * margin, 640);
    // The message is broken into lines for the banner's width, and its height follows them.
    const int height = banner_->heightForWidth(width);
    banner_->setGeometry((area->width() - width) / 2, area->height() - height - margin, width, height);
}

void DashboardView::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placeBanner();
}

void DashboardView::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    placeBanner();
    emit appeared();
}

void DashboardView::showAddProjectSheet() {
    if (!addSheet_) addSheet_ = SheetDialog::present(*this, new AddProjectSheet(appState_));
}

} // namespace norvane::app
