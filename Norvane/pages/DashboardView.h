#pragma once

#include <QMainWindow>
#include <QPointer>

#include "Norvane/pages/DashboardModel.h"

class QToolButton;
class QHBoxLayout;

namespace norvane::app {

class AppState;
class BusyIndicator;
class ErrorBanner;
class ProjectListModel;
class Sidebar;

/// The main window: the sidebar, the page of the chosen entry, the refresh button and the banner
/// that shows why the file at the store's path cannot be opened, while it cannot, and otherwise
/// the last collection's failure.
class DashboardView : public QMainWindow {
    Q_OBJECT

public:
    /// The narrowest the page beside the sidebar gets: the portfolio page's widest row, its five
    /// productivity tiles, with the page's padding and scroll bar. The sidebar cannot be widened
    /// into it, and the window is never narrower than the narrowest sidebar beside it.
    static constexpr int minimumPageWidth = 720;
    static constexpr int minimumHeight = 600;

    DashboardView(AppState& appState, ProjectListModel& projects, QWidget* parent = nullptr);

    /// What the application says when the store cannot be opened, at start and in the banner.
    static QString storeFailureText(const std::string& reason);

    Sidebar& sidebar() const { return *sidebar_; }
    QToolButton& refreshButton() const { return *refreshButton_; }
    ErrorBanner& errorBanner() const { return *banner_; }
    const DetailPage& detailPage() const { return detailPage_; }
    /// The open add-project sheet, if any.
    QWidget* addProjectSheet() const { return addSheet_; }

signals:
    /// The window was shown; the application decides whether the first-run wizard follows.
    void appeared();
    /// A page asked for the settings window.
    void settingsRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeToolbar();
    QWidget* makeDetailContent(const DetailPage& page);
    QWidget* makePortfolioView();
    void showDetail();
    void updateRefreshButton();
    void updateBanner();
    void placeBanner();
    void showAddProjectSheet();

    AppState& appState_;
    ProjectListModel& projects_;
    Sidebar* sidebar_;
    QWidget* detailPane_;
    QHBoxLayout* detailLayout_;
    QWidget* detailContent_ = nullptr;
    DetailPage detailPage_;
    QToolButton* refreshButton_ = nullptr;
    BusyIndicator* spinner_ = nullptr;
    ErrorBanner* banner_;
    QPointer<QWidget> addSheet_;
};

} // namespace norvane::app
