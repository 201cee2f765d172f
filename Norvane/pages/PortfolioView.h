#pragma once

#include <array>

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "Norvane/pages/PortfolioViewModel.h"

class QAction;
class QToolButton;
class QVBoxLayout;

namespace norvane::app {

class AchievementsCard;
class AppState;
class CollapsibleSection;
class ExportSheet;
class ShareSummarySheet;
class HeroZoneView;
class OptInPromptCard;
class PortfolioInsightsSection;
class PortfolioOutputSection;
class PortfolioProductivitySection;
class PortfolioProjectsSection;
class PortfolioTrendsSection;
class ProjectListModel;
class ScrollAnchor;
class StreakCard;
class SummaryRowView;

/// The overview of all projects that are not archived: the leverage and the index, the summary
/// row, the streak, six sections the user can fold away, and the invitation to the benchmark while
/// the user does not share. Without such a project it shows the welcome screen. It loads on its
/// first showing, when the application becomes active, when the store changes (the series once the
/// application state's refresh has rebuilt the daily rows they are read from), and for a new time
/// range or composition window; the loads run off the GUI thread.
class PortfolioView : public QWidget {
    Q_OBJECT

public:
    enum Section { trends, output, insights, productivity, projects, achievements };

    PortfolioView(AppState& appState, ProjectListModel& projectList, PortfolioServices services,
                  QWidget* parent = nullptr);
    /// Closes the page's open sheet, whose figures are the page's.
    ~PortfolioView() override;

    PortfolioViewModel& model() { return model_; }
    /// Every load has ended and the page shows what they found.
    bool isSettled() const;
    const PortfolioViewModel& model() const { return model_; }
    /// The welcome screen, shown while no project is listed.
    QWidget& welcome() const { return *welcome_; }
    const HeroZoneView& heroZone() const { return *hero_; }
    const SummaryRowView& summaryRow() const { return *summary_; }
    const StreakCard& streakCard() const { return *streak_; }
    CollapsibleSection& section(Section which) const { return *sections_[which]; }
    OptInPromptCard& optInCard() const { return *optIn_; }
    QAction& shareAction() const { return *share_; }
    QAction& exportAction() const { return *export_; }
    /// The open share or export sheet, if any.
    QWidget* sheet() const { return sheet_; }
    /// The sections' contents once opened; null before.
    PortfolioTrendsSection* trendsContent() const { return trends_; }
    PortfolioOutputSection* outputContent() const { return output_; }
    PortfolioProductivitySection* productivityContent() const { return productivity_; }
    AchievementsCard* achievementsContent() const { return achievements_; }

    /// The stored expansion of each section, with its default.
    static QString sectionKey(Section which);

signals:
    /// The welcome screen's add button.
    void addProjectRequested();
    /// The invitation's "learn more".
    void settingsRequested();

protected:
    void showEvent(QShowEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    QWidget* makeHeader();
    QWidget* makeRows();
    void makeSections(QVBoxLayout* rows);
    QWidget* makeSectionContent(Section which);
    void connectModel();
    /// What a change touches; the page shows all changes of one turn of the event loop at once.
    enum Change {
        changedProjects = 1,
        changedSeries = 2,
        changedIndexFigures = 4,
        changedBenchmarks = 8,
        changedCache = 16,
    };
    void showLater(int changes);
    /// Loads the series from the rows that the application state's figures were read from.
    void loadSeries();
    void showChanges();
    void showListedProjects();
    void revealReadSections();
    /// Whether the section's room is known: it is closed, or the figures it shows are read.
    bool knowsItsRoom(Section which) const;
    void showCachedMetrics();
    /// A range chosen elsewhere than the trends' picker: the picker follows.
    void showTimeRange(TimeRange range);
    void showOptIn();
    void showShareSheet();
    void showExportSheet();

    AppState& appState_;
    ProjectListModel& projects_;
    PortfolioViewModel model_;
    bool hasAppeared_ = false;
    /// One redraw for the changes of one turn, such as the burst that a cache refresh announces.
    QTimer changes_;
    int changed_ = 0;
    /// One reload for the burst of saves that a collection makes.
    QTimer storeChanges_;
    QAction* share_ = nullptr;
    QAction* export_ = nullptr;
    QWidget* welcome_ = nullptr;
    QWidget* content_ = nullptr;
    QWidget* rows_ = nullptr;
    ScrollAnchor* scrollAnchor_ = nullptr;
    HeroZoneView* hero_ = nullptr;
    SummaryRowView* summary_ = nullptr;
    StreakCard* streak_ = nullptr;
    std::array<CollapsibleSection*, 6> sections_{};
    /// The sections shown so far, from the top; the rest wait for their figures.
    std::size_t revealed_ = 0;
    OptInPromptCard* optIn_ = nullptr;
    PortfolioTrendsSection* trends_ = nullptr;
    PortfolioOutputSection* output_ = nullptr;
    PortfolioInsightsSection* insights_ = nullptr;
    PortfolioProductivitySection* productivity_ = nullptr;
    PortfolioProjectsSection* projectsContent_ = nullptr;
    AchievementsCard* achievements_ = nullptr;
    QPointer<QWidget> sheet_;
    /// The open export or share sheet, which shows the page's figures as they come.
    QPointer<ExportSheet> exportSheet_;
    QPointer<ShareSummarySheet> shareSheet_;
};

} // namespace norvane::app
