#pragma once

#include <array>
#include <memory>
#include <optional>

#include <QScrollArea>

#include "Norvane/components/charts/TimeRange.h"
#include "Norvane/pages/LatestRequestLoader.h"
#include "Norvane/pages/ProjectDetailModel.h"
#include "core/facade/NorvaneStore.h"
#include "core/reads/ProjectListing.h"
#include "core/reads/ProjectPageData.h"

class QVBoxLayout;

namespace norvane::app {

class AppState;
class CollapsibleSection;
class CollectionProgressStrip;
class CostEstimatesView;
class HeroZoneView;
class LatestCommitCard;
class MilestonesCard;
class OceanSegmentedPicker;
class OutputCompositionCard;
class ProjectHeader;
class ProjectTrendsView;
class SummaryRowView;
class VelocityRetentionCard;

/// The page of one project: its collection commands and their progress, its leverage and
/// maturity, statistics, trends, output composition, velocity retention, milestones, cost
/// estimates and latest commit. What it reads from the store is read off the GUI thread through
/// the application's own store as plain values, anew whenever the store or the chosen windows change; the
/// application state's caches and the preferences it shows are followed live. One page serves
/// one project after another, keeping the time range and the day windows the user chose. Every
/// frame shows a figure as read or a placeholder in its room: the header, from the project list,
/// stands alone until the page's values are in, and what the cache has not read yet shows "--" or
/// keeps its room hidden.
class ProjectDetailView : public QScrollArea {
    Q_OBJECT
public:
    ProjectDetailView(AppState& appState, NorvaneStore store, ProjectListing project, QWidget* parent = nullptr);

    /// Shows `project` as the project list has it: the same project read anew, or another project.
    void setProject(ProjectListing project);
    const ProjectInfo& project() const { return project_; }
    /// Whether the values of the present project and windows are in and shown.
    bool isLoaded() const;

    TimeRange selectedTimeRange() const { return selectedTimeRange_; }
    int compositionDays() const { return compositionDays_; }
    int velocityDays() const { return velocityDays_; }

    ProjectHeader& header() const { return *header_; }
    const CollectionProgressStrip& progressStrip() const { return *strip_; }
    const HeroZoneView& heroZone() const { return *hero_; }
    OceanSegmentedPicker& leverageModePicker() const { return *modePicker_; }
    const SummaryRowView& summaryRow() const { return *summary_; }
    CollapsibleSection& section(ProjectSection section) const;
    /// The sections shown now, in page order.
    std::vector<ProjectSection> shownSections() const;
    ProjectEmptyState shownEmptyState() const;
    /// Each section's content, once the section was first opened; null before.
    ProjectTrendsView* trends() const { return trends_; }
    OutputCompositionCard* compositionCard() const { return compositionCard_; }
    VelocityRetentionCard* velocityCard() const { return velocityCard_; }
    MilestonesCard* milestonesCard() const { return milestonesCard_; }
    CostEstimatesView* costEstimates() const { return costEstimates_; }
    LatestCommitCard* latestCommitCard() const { return latestCommitCard_; }

signals:
    /// The values read for the present project and windows are shown.
    void loaded();

protected:
    bool focusNextPrevChild(bool next) override;

private:
    QWidget* makeHero();
    void makeSections(QVBoxLayout& layout);
    QWidget* makeEmptyStates();
    void connectState();

    ProjectPageRequest request() const;
    void load();
    void scheduleRender();
    void render();
    /// The hero, the summary and the sections, from the values read.
    void renderBody();
    void renderHero(const ProjectDetailModel& model);
    void renderSections(const ProjectDetailModel& model);
    void renderProgress();
    void fillTrends();
    void fillComposition();
    void fillVelocity();
    void fillMilestones();
    void fillCosts();
    void fillLatestCommit();
    /// The wage and overhead the user set, for the page's estimates.
    CostRates costRates() const;
    /// What the application state's cache holds for the project; none while it has not read it.
    std::optional<CachedProjectFigures> cachedFigures() const;
    /// Shows the values below the header, laid out in their room before they are drawn.
    void revealBody();
    void setCompositionDays(int days);
    void setVelocityDays(int days);

    AppState& appState_;
    NorvaneStore store_;
    ProjectInfo project_;
    /// The header's commit line, as the project list read it with the project.
    std::optional<CommitSummary> listedCommit_;
    std::optional<ProjectPageData> data_;
    MilestoneAverages milestoneAverages_;
    LatestRequestLoader<std::optional<ProjectPageData>> loader_{*this};
    bool renderScheduled_ = false;

    TimeRange selectedTimeRange_ = TimeRange::ninetyDays;
    int compositionDays_ = 30;
    int velocityDays_ = 90;

    CollectionProgressStrip* strip_;
    ProjectHeader* header_;
    QWidget* body_;
    HeroZoneView* hero_;
    OceanSegmentedPicker* modePicker_;
    SummaryRowView* summary_;
    std::array<CollapsibleSection*, 6> sections_{};
    QWidget* noData_;
    QWidget* gitHistoryNotice_;
    ProjectTrendsView* trends_ = nullptr;
    OutputCompositionCard* compositionCard_ = nullptr;
    QWidget* velocityHolder_ = nullptr;
    VelocityRetentionCard* velocityCard_ = nullptr;
    MilestonesCard* milestonesCard_ = nullptr;
    CostEstimatesView* costEstimates_ = nullptr;
    LatestCommitCard* latestCommitCard_ = nullptr;
};

} // namespace norvane::app
