#pragma once

#include "core/community/AnonymousActivityReport.h"
#include "core/community/BenchmarkStorage.h"
#include "core/community/CachedBenchmarks.h"
#include "core/community/PendingReportQueue.h"
#include "core/community/UserPercentiles.h"
#include "core/models/ProjectSizeBucket.h"
#include "platform/HttpClient.h"
#include "platform/SerialExecutor.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace norvane {

class Project;

/// The client of the community benchmark service: it sends one anonymous report per project and
/// day while the user has opted in, keeps the reports that failed in a queue it resends, fetches
/// and caches the community benchmarks, and places the user's figures among them.
///
/// The client is an actor: its state lives on its own serial executor, and every public operation
/// posts a task there and returns a future. Network requests run on a second thread, so while one
/// is under way the client keeps answering (counts, cache reads, further submissions). Its queue
/// and cache files are read before any other operation runs. Do not wait on its futures from
/// inside its own callbacks.
class NorvaneIndexService {
public:
    struct Timeouts {
        std::chrono::milliseconds report{30000};
        std::chrono::milliseconds contributors{10000};
        std::chrono::milliseconds benchmarks{15000};
        std::chrono::milliseconds deletion{30000};
    };

    struct Options {
        /// Called on the client's threads and on its callers' (to stamp reports), so it must be
        /// safe to call from any thread.
        platform::Clock clock = platform::systemClock();
        Timeouts timeouts{};
    };

    /// `baseURL` is the service's address, with or without its version path "/v1" and a final
    /// slash ("https://host", "https://host/v1/"); an empty one makes every request fail as if the
    /// service could not be reached. The two files live in `storageDirectory`.
    NorvaneIndexService(std::string baseURL, std::filesystem::path storageDirectory);
    NorvaneIndexService(std::string baseURL, std::filesystem::path storageDirectory, Options options);
    /// Cancels requests under way and finishes the queued work.
    ~NorvaneIndexService();
    NorvaneIndexService(const NorvaneIndexService&) = delete;
    NorvaneIndexService& operator=(const NorvaneIndexService&) = delete;

    /// The application's one client, on the build's benchmark address and the store's folder.
    static NorvaneIndexService& shared();

    const std::filesystem::path& storageDirectory() const { return storage_.folder(); }

    /// Stores the opt-in and the device id (none clears it); enabling also starts one resend pass.
    /// Disabling, as the user opts out, drops every report waiting to be sent and removes their
    /// file: nothing the user gave up sharing goes out should they opt in again.
    std::future<void> configure(bool enabled, std::optional<std::string> deviceId);
    /// Enabled and holding a device id (an empty one counts).
    std::future<bool> isSubmissionEnabled();

    /// When enabled with a device id, builds the day's report of `project` with its newest code
    /// count, stamps the id, sends it and queues it if that fails; otherwise builds nothing. Never
    /// fails.
    std::future<void> submitReport(const DailyActivityInfo& activity, const ProjectInfo& project,
                                   const std::optional<SnapshotInfo>& newestCodeCount,
                                   const std::optional<VelocityRetention>& velocityRetention);
    /// Sends a finished report while enabled, unless its device id was forgotten; queues it if
    /// that fails. Never fails.
    std::future<void> submitReport(AnonymousActivityReport report);
    /// One POST; fails with `SubmissionError`, `platform::HttpTransportError` or `JsonEncodingError`.
    std::future<void> send(AnonymousActivityReport report);
    /// Adds a report to the queue under its limits and saves the queue.
    std::future<void> enqueue(AnonymousActivityReport report);
    /// One resend pass over the queue; completes when the pass (or the one already running) ends.
    std::future<void> retryPendingReports();
    std::future<std::size_t> pendingReportCount();
    /// Why the queue's file does not hold the queue, in a sentence for the user: the failure of its
    /// latest save (a full or read-only disk); none while the last save worked.
    std::future<std::optional<std::string>> pendingReportsSaveFailure();

    /// Fails with `SubmissionError::invalidResponse`, the transport's or the decoder's error.
    std::future<std::int64_t> fetchContributorCount();
    /// The fresh cache, else a new fetch, else the old cache or none; never fails.
    std::future<std::optional<CachedBenchmarks>> getBenchmarks(bool forceRefresh);
    /// Fails with `BenchmarkError`, the transport's or the decoder's error.
    std::future<CommunityBenchmarks> fetchBenchmarks();
    std::future<std::optional<CachedBenchmarks>> getCachedBenchmarks();
    std::future<bool> isBenchmarksCacheValid();
    /// The cache's age text, or none when nothing is cached.
    std::future<std::optional<std::string>> benchmarksLastUpdated();

    /// The user's percentiles in `project`'s size bucket (read on the calling thread).
    std::future<std::optional<UserPercentiles>> calculatePercentiles(const Project& project,
                                                                     std::optional<double> throughput,
                                                                     std::optional<double> velocityRetention,
                                                                     std::optional<double> activeDaysPerWeek);
    /// None when there are no benchmarks or they count no contributor.
    std::future<std::optional<UserPercentiles>> calculatePercentiles(std::optional<double> throughput,
                                                                     std::optional<double> velocityRetention,
                                                                     std::optional<double> activeDaysPerWeek,
                                                                     ProjectSizeBucket sizeBucket);

    /// Keeps `deviceId` among the forgotten ids, in their file first, then drops every queued report
    /// of it (and saves the queue) and clears the held device id when it is this one. From then on
    /// nothing is sent or queued under it, in this run or a later one, whatever the queue file
    /// holds: nothing more goes out under an id that was deleted or replaced. Fails with the
    /// file's error, changing nothing, when the id cannot be kept.
    std::future<void> forgetDevice(std::string deviceId);
    /// Whether `deviceId` is among the forgotten ids, so that nothing goes out under it.
    std::future<bool> isForgotten(std::string deviceId);
    /// Forgets `deviceId` as `forgetDevice` does, then asks the service to delete everything sent
    /// under it; a report of it still under way reaches the service before the request. A deletion
    /// that the service does not confirm gives the id back, as it is still the user's. Fails with
    /// the forgetting's error (nothing is sent then), `SubmissionError::deletionFailed` or the
    /// transport's error.
    std::future<void> requestDeletion(std::string deviceId);

private:
    template <typename T>
    using Outcome = std::variant<T, std::exception_ptr>;
    using Completion = std::function<void(std::exception_ptr)>;

    struct RetryPass {
        std::vector<PendingReportQueue::EntryId> ids;
        std::size_t next = 0;
    };

    void perform(const std::string& method, const std::string& path, std::string body,
                 std::chrono::milliseconds timeout, std::function<void(Outcome<platform::HttpResponse>)> then);
    void sendReport(const AnonymousActivityReport& report, Completion then);
    void deliver(AnonymousActivityReport report, std::function<void()> done);
    void admit(AnonymousActivityReport report);
    void dropPendingReports();
    void forget(const std::string& deviceId);
    void takeBack(const std::string& deviceId);
    void startRetryPass(std::function<void()> done);
    void continueRetryPass(const std::shared_ptr<RetryPass>& pass);
    void finishRetryPass();
    void fetch(std::function<void(Outcome<CommunityBenchmarks>)> then);
    void obtainBenchmarks(bool forceRefresh, std::function<void(std::optional<CachedBenchmarks>)> then);
    void loadStoredState();
    void savePendingReports();
    void saveBenchmarkCache() const;

    const std::string baseURL_;
    const BenchmarkStorage storage_;
    const platform::Clock clock_;
    const Timeouts timeouts_;
    platform::HttpClient http_;

    /// Enabled with a device id, as the latest `configure` call said: set on the caller's thread,
    /// so that a submission right after it knows at once whether to build its report at all.
    std::atomic<bool> mayShare_ = false;

    // State below is touched only on `executor_`.
    bool isEnabled_ = false;
    std::optional<std::string> deviceId_;
    /// Ids deleted or replaced, as their file holds them: nothing of one is sent or queued.
    std::set<std::string> forgottenDeviceIds_;
    PendingReportQueue pendingReports_;
    std::optional<std::string> pendingReportsSaveFailure_;
    std::optional<CachedBenchmarks> cachedBenchmarks_;
    bool retryInProgress_ = false;
    std::vector<std::function<void()>> retryWaiters_;

    platform::SerialExecutor network_;
    platform::SerialExecutor executor_;
};

} // namespace norvane
