#include "core/facade/NorvaneStore.h"

#include "core/collection/AddCompletion.h"
#include "core/collection/CocomoService.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/Project.h"
#include "core/models/StoredSettings.h"
#include "core/reads/ProjectPageReads.h"
#include "core/reads/SnapshotQueries.h"
#include "platform/persistence/ModelContext.h"

namespace norvane {
namespace {

std::shared_ptr<platform::ModelContext> freshContext(const std::shared_ptr<platform::ModelContainer>& container) {
    return std::make_shared<platform::ModelContext>(container);
}

} // namespace

NorvaneStore NorvaneStore::open() { return NorvaneStore(NorvaneDatabase::makeContainer()); }

NorvaneStore NorvaneStore::open(const std::filesystem::path& file) {
    return NorvaneStore(NorvaneDatabase::makeContainer(file));
}

NorvaneStore NorvaneStore::inMemory() { return NorvaneStore(NorvaneDatabase::makeInMemoryContainer()); }

NorvaneStore NorvaneStore::separateConnection() const { return file() ? open(*file()) : *this; }

NorvaneStore::Observation NorvaneStore::observe(std::function<void()> changed) const {
    return container_->observe([changed = std::move(changed)](const platform::StoreChange&) { changed(); });
}

std::vector<ProjectListing> NorvaneStore::listProjects() const {
    std::vector<ProjectListing> listings;
    container_->withReadTransaction([&] {
        platform::ModelContext context(container_);
        const auto projects = context.fetch<Project>({.sortBy = {platform::ascending(ProjectField::name)}});
        const auto newest = SnapshotQueries::newestOfEachProject(*container_);
        listings.reserve(projects.size());
        for (const auto& project : projects) {
            ProjectListing listing{project->info(), std::nullopt, std::nullopt,
                                   AddCompletion::isInterrupted(context, project)};
            if (const auto found = newest.find(project->persistentKey()); found != newest.end()) {
                listing.newestSnapshot = found->second.snapshot;
                listing.commitSummary = found->second.commitSummary;
            }
            listings.push_back(std::move(listing));
        }
    });
    return listings;
}

int NorvaneStore::buildDailySnapshots() const {
    const auto rows = deriveDailySnapshots();
    saveDailySnapshots(rows);
    return static_cast<int>(rows->size());
}

NorvaneStore::DailyRows NorvaneStore::deriveDailySnapshots() const {
    PortfolioMetricsService::Rows rows;
    // The history and the headcount of one moment.
    container_->withReadTransaction([&] {
        const auto read = SnapshotQueries::dailyRowMoments(*container_);
        rows = PortfolioMetricsService(freshContext(container_)).deriveDailySnapshots(read.moments, read.projectNames);
    });
    return std::make_shared<const PortfolioMetricsService::Rows>(std::move(rows));
}

void NorvaneStore::saveDailySnapshots(const DailyRows& rows) const {
    PortfolioMetricsService(freshContext(container_)).saveDailySnapshots(*rows);
}

PortfolioMetrics NorvaneStore::calculateMetrics(int windowDays, const DailyRows& rows) const {
    return PortfolioMetricsService(freshContext(container_), platform::systemClock(), rows)
        .calculateMetrics(windowDays);
}

std::vector<PortfolioMetricsService::LeveragePoint>
NorvaneStore::getRollingLeverageSeries(int windowDays, int spanDays, const DailyRows& rows) const {
    return PortfolioMetricsService(freshContext(container_), platform::systemClock(), rows)
        .getRollingLeverageSeries(windowDays, spanDays);
}

ProjectFigureReads NorvaneStore::projectFigures(platform::Clock clock) const {
    return ProjectFigureReads(container_, std::move(clock));
}

PortfolioPageReads NorvaneStore::portfolioPage(platform::Clock clock, const DailyRows& rows) const {
    return PortfolioPageReads(container_, std::move(clock), rows);
}

std::optional<ProjectPageData> NorvaneStore::projectPage(const ProjectPageRequest& request,
                                                         const MilestoneAverages& known, platform::Date now) const {
    return ProjectPageReads::load(container_, request, known, now);
}

void NorvaneStore::updateCostSettings(double averageWage, double overhead, std::int64_t headcount) const {
    const auto context = freshContext(container_);
    // Figures the store already costs with: nothing to write, and no change for others to read again.
    const auto stored = StoredSettings::find(*context);
    const auto used = stored ? stored : AppSettings::defaults();
    if (used->averageWage == averageWage && used->overhead == overhead && used->headcount == headcount) return;
    CocomoService(context).updateSettings(averageWage, overhead, headcount, std::nullopt);
}

} // namespace norvane
