#pragma once

#include "core/analytics/PortfolioMetrics.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/reads/PortfolioPageReads.h"
#include "core/reads/ProjectFigureReads.h"
#include "core/reads/ProjectListing.h"
#include "core/reads/ProjectPageData.h"
#include "platform/Date.h"
#include "platform/persistence/ModelContainer.h"
#include "platform/persistence/StoreError.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norvane {

/// The one way from the application to its store: every read returns plain figures, computed in
/// SQL where that is cheaper than making records and otherwise over a context that lives only for
/// the read, so what was read does not stay in memory and no history is held as records. Besides
/// the reads, the two writes that follow from them: the daily portfolio rows and the cost settings.
/// Every operation throws the store's error.
class NorvaneStore {
public:
    /// Keeps an observer registered for as long as it lives.
    using Observation = platform::ObserverRegistration;
    /// What opening throws while another connection keeps the file locked for longer than the wait.
    using BusyError = platform::StoreBusyError;

    /// The store of an open container; any container of the schema is one.
    NorvaneStore(std::shared_ptr<platform::ModelContainer> container) : container_(std::move(container)) {}
    /// The store file at its usual place, or at `file`; a store kept in memory only.
    static NorvaneStore open();
    static NorvaneStore open(const std::filesystem::path& file);
    static NorvaneStore inMemory();

    const std::shared_ptr<platform::ModelContainer>& container() const { return container_; }
    /// The store file; none for a store in memory.
    const std::optional<std::filesystem::path>& file() const { return container_->file(); }
    /// The same store over a connection of its own, so that reads on several threads run side by
    /// side; a store in memory has no file and keeps its one connection.
    NorvaneStore separateConnection() const;
    /// Calls `changed` after every save through this store's connection (on the thread that saved)
    /// and after changes by others that `checkForExternalChanges` notices.
    Observation observe(std::function<void()> changed) const;
    bool checkForExternalChanges() const { return container_->checkForExternalChanges(); }
    /// Makes the close wait up to `limit` for readers to let this connection's writes out of the log
    /// (see ModelContainer::waitForReadersAtClose).
    void waitForReadersAtClose(std::chrono::milliseconds limit) const { container_->waitForReadersAtClose(limit); }
    /// Why the file at the store's path cannot be opened as a store, while it cannot.
    std::optional<std::string> openingFailure() const { return container_->openingFailure(); }

    /// Every project in name order.
    std::vector<ProjectListing> listProjects() const;

    /// The rows that stand for the daily portfolio rows where they are given instead of the stored ones.
    using DailyRows = PortfolioMetricsService::DerivedRows;

    /// Rewrites the daily portfolio rows from the history, read in SQL; the number of days with
    /// history.
    int buildDailySnapshots() const;
    /// The daily portfolio rows as the history gives them, read in SQL and made in memory: those
    /// that `buildDailySnapshots` would store, which the store may refuse while another program
    /// holds it, and whose figures are the same.
    DailyRows deriveDailySnapshots() const;
    /// Stores `rows`, from `deriveDailySnapshots`, as the daily portfolio rows.
    void saveDailySnapshots(const DailyRows& rows) const;
    /// The figures of the daily rows come from `rows` where given, else from the stored rows.
    PortfolioMetrics calculateMetrics(int windowDays, const DailyRows& rows = nullptr) const;
    std::vector<PortfolioMetricsService::LeveragePoint> getRollingLeverageSeries(int windowDays, int spanDays,
                                                                                 const DailyRows& rows = nullptr) const;
    ProjectFigureReads projectFigures(platform::Clock clock = platform::systemClock()) const;

    /// The reads of one load of the portfolio page; its series come from `rows` where given.
    PortfolioPageReads portfolioPage(platform::Clock clock = platform::systemClock(),
                                     const DailyRows& rows = nullptr) const;
    /// See ProjectPageReads::load.
    std::optional<ProjectPageData> projectPage(const ProjectPageRequest& request, const MilestoneAverages& known,
                                               platform::Date now) const;

    /// Stores the salary, overhead and headcount that the cost figures read; writes nothing when the
    /// figures already use them.
    void updateCostSettings(double averageWage, double overhead, std::int64_t headcount) const;

private:
    std::shared_ptr<platform::ModelContainer> container_;
};

} // namespace norvane
