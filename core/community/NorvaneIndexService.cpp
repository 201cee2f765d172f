#include "core/community/NorvaneIndexService.h"

#include "core/community/BenchmarkError.h"
#include "core/community/JsonCoding.h"
#include "core/community/PercentileCalculator.h"
#include "core/community/SubmissionError.h"
#include "core/models/BuildConfiguration.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/Project.h"
#include "platform/ErrorLog.h"

#include <string_view>

namespace norvane {

namespace {

template <typename T>
struct Pending {
    std::shared_ptr<std::promise<T>> promise = std::make_shared<std::promise<T>>();
    std::future<T> future = promise->get_future();
};

template <typename T>
void fulfil(std::promise<T>& promise, std::variant<T, std::exception_ptr> outcome) {
    if (auto* error = std::get_if<std::exception_ptr>(&outcome)) {
        promise.set_exception(*error);
    } else {
        promise.set_value(std::move(std::get<T>(outcome)));
    }
}

bool isSuccess(long status) { return status >= 200 && status <= 299; }

/// The service's address up to and with its version path, without a final slash, however the
/// build names it: "https://host", "https://host/" and "https://host/v1/" all give "https://host/v1".
std::string versionedBase(std::string address) {
    constexpr std::string_view versionPath = "/v1";
    if (address.empty()) return address;
    while (!address.empty() && address.back() == '/') address.pop_back();
    if (!address.ends_with(versionPath)) address += versionPath;
    return address;
}

/// A report that cannot be encoded can never be sent; queueing it would only keep the queue file
/// from being written.
bool isEncodable(const AnonymousActivityReport& report) {
    try {
        static_cast<void>(report.toJSONString());
        return true;
    } catch (const JsonEncodingError&) {
        return false;
    }
}

} // namespace

NorvaneIndexService::NorvaneIndexService(std::string baseURL, std::filesystem::path storageDirectory)
    : NorvaneIndexService(std::move(baseURL), std::move(storageDirectory), Options{}) {}

NorvaneIndexService::NorvaneIndexService(std::string baseURL, std::filesystem::path storageDirectory, Options options)
    : baseURL_(versionedBase(std::move(baseURL))), storage_(std::move(storageDirectory)),
      clock_(std::move(options.clock)), timeouts_(options.timeouts) {
    // First in line, so every later operation sees the stored queue and cache.
    executor_.post([this] { loadStoredState(); });
}

NorvaneIndexService::~NorvaneIndexService() {
    http_.cancelAll();
    network_.shutdown();
    executor_.shutdown();
}

NorvaneIndexService& NorvaneIndexService::shared() {
    // Never destroyed: the client lives as long as the process, and no exit handler has to join it.
    static auto* instance =
        new NorvaneIndexService(NORVANE_INDEX_BASE_URL, NorvaneDatabase::containerURL().parent_path());
    return *instance;
}

std::future<void> NorvaneIndexService::configure(bool enabled, std::optional<std::string> deviceId) {
    mayShare_ = enabled && deviceId.has_value();
    return executor_.submit([this, enabled, deviceId = std::move(deviceId)] {
        isEnabled_ = enabled;
        deviceId_ = deviceId;
        if (enabled) {
            startRetryPass([] {});
        } else {
            dropPendingReports();
        }
    });
}

std::future<bool> NorvaneIndexService::isSubmissionEnabled() {
    return executor_.submit([this] { return isEnabled_ && deviceId_.has_value(); });
}

std::future<void> NorvaneIndexService::submitReport(const DailyActivityInfo& activity, const ProjectInfo& project,
                                                    const std::optional<SnapshotInfo>& newestCodeCount,
                                                    const std::optional<VelocityRetention>& velocityRetention) {
    Pending<void> pending;
    if (!mayShare_) {
        pending.promise->set_value();
        return std::move(pending.future);
    }
    auto report = AnonymousActivityReport::create(activity, project, newestCodeCount, "", velocityRetention, clock_());
    executor_.post([this, report = std::move(report), promise = pending.promise]() mutable {
        if (!isEnabled_ || !deviceId_) {
            promise->set_value();
            return;
        }
        report.deviceId = *deviceId_;
        deliver(std::move(report), [promise] { promise->set_value(); });
    });
    return std::move(pending.future);
}

std::future<void> NorvaneIndexService::submitReport(AnonymousActivityReport report) {
    Pending<void> pending;
    executor_.post([this, report = std::move(report), promise = pending.promise]() mutable {
        if (!isEnabled_ || forgottenDeviceIds_.contains(report.deviceId)) {
            promise->set_value();
            return;
        }
        deliver(std::move(report), [promise] { promise->set_value(); });
    });
    return std::move(pending.future);
}

std::future<void> NorvaneIndexService::send(AnonymousActivityReport report) {
    Pending<void> pending;
    executor_.post([this, report = std::move(report), promise = pending.promise] {
        sendReport(report, [promise](std::exception_ptr error) {
            error ? promise->set_exception(error) : promise->set_value();
        });
    });
    return std::move(pending.future);
}

std::future<void> NorvaneIndexService::enqueue(AnonymousActivityReport report) {
    return executor_.submit([this, report = std::move(report)]() mutable { admit(std::move(report)); });
}

std::future<void> NorvaneIndexService::retryPendingReports() {
    Pending<void> pending;
    executor_.post([this, promise = pending.promise] { startRetryPass([promise] { promise->set_value(); }); });
    return std::move(pending.future);
}

std::future<std::size_t> NorvaneIndexService::pendingReportCount() {
    return executor_.submit([this] { return pendingReports_.size(); });
}

std::future<std::optional<std::string>> NorvaneIndexService::pendingReportsSaveFailure() {
    return executor_.submit([this] { return pendingReportsSaveFailure_; });
}

std::future<std::int64_t> NorvaneIndexService::fetchContributorCount() {
    Pending<std::int64_t> pending;
    executor_.post([this, promise = pending.promise] {
        perform("GET", "stats/contributors", {}, timeouts_.contributors,
                [promise](Outcome<platform::HttpResponse> outcome) {
                    Outcome<std::int64_t> count = std::exception_ptr();
                    if (auto* error = std::get_if<std::exception_ptr>(&outcome)) {
                        count = *error;
                    } else if (const auto& response = std::get<platform::HttpResponse>(outcome);
                               response.status != 200) {
                        count = std::make_exception_ptr(SubmissionError::invalidResponse());
                    } else {
                        try {
                            count = JsonCoding::integer(JsonCoding::parse(response.body), "count");
                        } catch (...) {
                            count = std::current_exception();
                        }
                    }
                    fulfil(*promise, std::move(count));
                });
    });
    return std::move(pending.future);
}

std::future<std::optional<CachedBenchmarks>> NorvaneIndexService::getBenchmarks(bool forceRefresh) {
    Pending<std::optional<CachedBenchmarks>> pending;
    executor_.post([this, forceRefresh, promise = pending.promise] {
        obtainBenchmarks(forceRefresh,
                         [promise](std::optional<CachedBenchmarks> cache) { promise->set_value(std::move(cache)); });
    });
    return std::move(pending.future);
}

std::future<CommunityBenchmarks> NorvaneIndexService::fetchBenchmarks() {
    Pending<CommunityBenchmarks> pending;
    executor_.post([this, promise = pending.promise] {
        fetch([promise](Outcome<CommunityBenchmarks> outcome) { fulfil(*promise, std::move(outcome)); });
    });
    return std::move(pending.future);
}

std::future<std::optional<CachedBenchmarks>> NorvaneIndexService::getCachedBenchmarks() {
    return executor_.submit([this] { return cachedBenchmarks_; });
}

std::future<bool> NorvaneIndexService::isBenchmarksCacheValid() {
    return executor_.submit([this] { return cachedBenchmarks_ && cachedBenchmarks_->isValid(clock_()); });
}

std::future<std::optional<std::string>> NorvaneIndexService::benchmarksLastUpdated() {
    return executor_.submit([this]() -> std::optional<std::string> {
        if (!cachedBenchmarks_) {
            return std::nullopt;
        }
        return cachedBenchmarks_->lastUpdatedDescription(clock_());
    });
}

std::future<std::optional<UserPercentiles>>
NorvaneIndexService::calculatePercentiles(const Project& project, std::optional<double> throughput,
                                          std::optional<double> velocityRetention,
                                          std::optional<double> activeDaysPerWeek) {
    return calculatePercentiles(throughput, velocityRetention, activeDaysPerWeek, project.sizeBucket());
}

std::future<std::optional<UserPercentiles>>
NorvaneIndexService::calculatePercentiles(std::optional<double> throughput, std::optional<double> velocityRetention,
                                          std::optional<double> activeDaysPerWeek, ProjectSizeBucket sizeBucket) {
    Pending<std::optional<UserPercentiles>> pending;
    executor_.post([=, this, promise = pending.promise] {
        obtainBenchmarks(false, [=, this](std::optional<CachedBenchmarks> cache) {
            if (!cache || cache->benchmarks.contributorCount < 1) {
                promise->set_value(std::nullopt);
                return;
            }
            promise->set_value(PercentileCalculator::calculate(throughput, velocityRetention, activeDaysPerWeek,
                                                               sizeBucket, cache->benchmarks, clock_()));
        });
    });
    return std::move(pending.future);
}

std::future<void> NorvaneIndexService::forgetDevice(std::string deviceId) {
    return executor_.submit([this, deviceId = std::move(deviceId)] { forget(deviceId); });
}

std::future<bool> NorvaneIndexService::isForgotten(std::string deviceId) {
    return executor_.submit([this, deviceId = std::move(deviceId)] { return forgottenDeviceIds_.contains(deviceId); });
}

std::future<void> NorvaneIndexService::requestDeletion(std::string deviceId) {
    Pending<void> pending;
    executor_.post([this, deviceId = std::move(deviceId), promise = pending.promise] {
        const bool givenUpBefore = forgottenDeviceIds_.contains(deviceId);
        try {
            forget(deviceId);
        } catch (...) {
            // Not asked before the id is kept from ever going out again.
            promise->set_exception(std::current_exception());
            return;
        }
        const std::string path = "devices/" + platform::HttpClient::escapePathSegment(deviceId);
        perform("DELETE", path, {}, timeouts_.deletion,
                [this, deviceId, givenUpBefore, promise](Outcome<platform::HttpResponse> outcome) {
                    std::exception_ptr failure;
                    if (auto* error = std::get_if<std::exception_ptr>(&outcome)) {
                        failure = *error;
                    } else if (!isSuccess(std::get<platform::HttpResponse>(outcome).status)) {
                        failure = std::make_exception_ptr(SubmissionError::deletionFailed());
                    }
                    if (!failure) {
                        promise->set_value();
                        return;
                    }
                    if (!givenUpBefore) {
                        takeBack(deviceId);
                    }
                    promise->set_exception(failure);
                });
    });
    return std::move(pending.future);
}

void NorvaneIndexService::perform(const std::string& method, const std::string& path, std::string body,
                                  std::chrono::milliseconds timeout,
                                  std::function<void(Outcome<platform::HttpResponse>)> then) {
    if (baseURL_.empty()) {
        then(std::make_exception_ptr(platform::HttpTransportError("No address of the benchmark service is set")));
        return;
    }
    platform::HttpRequest request{.method = method,
                                  .url = baseURL_ + "/" + path,
                                  .headers = {"User-Agent: NorvaneKit/" + std::string(BuildConfiguration::version)},
                                  .body = std::move(body),
                                  .timeout = timeout};
    if (method == "POST") {
        request.headers.emplace_back("Content-Type: application/json");
    }
    network_.post([this, request = std::move(request), then = std::move(then)] {
        Outcome<platform::HttpResponse> outcome = std::exception_ptr();
        try {
            outcome = http_.perform(request);
        } catch (...) {
            outcome = std::current_exception();
        }
        executor_.post([then, outcome = std::move(outcome)] { then(outcome); });
    });
}

void NorvaneIndexService::sendReport(const AnonymousActivityReport& report, Completion then) {
    if (forgottenDeviceIds_.contains(report.deviceId)) {
        then(std::make_exception_ptr(
            std::runtime_error("Nothing is sent under a device ID that was deleted or replaced")));
        return;
    }
    std::string body;
    try {
        body = report.toJSONString();
    } catch (...) {
        then(std::current_exception());
        return;
    }
    perform("POST", "activity", std::move(body), timeouts_.report, [then](Outcome<platform::HttpResponse> outcome) {
        if (auto* error = std::get_if<std::exception_ptr>(&outcome)) {
            then(*error);
            return;
        }
        const long status = std::get<platform::HttpResponse>(outcome).status;
        if (status == 0) {
            then(std::make_exception_ptr(SubmissionError::invalidResponse()));
        } else if (isSuccess(status)) {
            then(nullptr);
        } else {
            then(std::make_exception_ptr(SubmissionError::forReportStatus(status)));
        }
    });
}

void NorvaneIndexService::deliver(AnonymousActivityReport report, std::function<void()> done) {
    auto shared = std::make_shared<AnonymousActivityReport>(std::move(report));
    sendReport(*shared, [this, shared, done](std::exception_ptr error) {
        // Sent before the user opted out, it is not kept once they did.
        if (error && isEnabled_) {
            admit(*shared);
        }
        done();
    });
}

void NorvaneIndexService::admit(AnonymousActivityReport report) {
    if (forgottenDeviceIds_.contains(report.deviceId)) {
        return;
    }
    if (isEncodable(report) && pendingReports_.admit(std::move(report), clock_())) {
        savePendingReports();
    }
}

void NorvaneIndexService::dropPendingReports() {
    // A retry pass under way skips what is no longer queued.
    pendingReports_.clear();
    const auto failure = storage_.removePendingReports();
    pendingReportsSaveFailure_ =
        failure ? std::optional("The reports waiting to be sent could not be removed: " + *failure) : std::nullopt;
}

void NorvaneIndexService::forget(const std::string& deviceId) {
    if (!forgottenDeviceIds_.contains(deviceId)) {
        // On disk before anything else: a queue that cannot be rewritten must not bring it back.
        auto kept = forgottenDeviceIds_;
        kept.insert(deviceId);
        if (const auto failure = storage_.saveForgottenDeviceIds(kept)) {
            throw std::runtime_error(*failure);
        }
        forgottenDeviceIds_ = std::move(kept);
    }
    if (deviceId_ == deviceId) {
        deviceId_.reset();
    }
    // A retry pass under way skips what is no longer queued.
    pendingReports_.removeDevice(deviceId);
    savePendingReports();
}

void NorvaneIndexService::takeBack(const std::string& deviceId) {
    auto kept = forgottenDeviceIds_;
    kept.erase(deviceId);
    // Left forgotten when its file cannot say otherwise: the safe side.
    if (!storage_.saveForgottenDeviceIds(kept)) {
        forgottenDeviceIds_ = std::move(kept);
    }
}

void NorvaneIndexService::startRetryPass(std::function<void()> done) {
    if (!isEnabled_) {
        done();
        return;
    }
    retryWaiters_.push_back(std::move(done));
    if (retryInProgress_) {
        return;
    }
    pendingReports_.removeExpired(clock_());
    if (pendingReports_.empty()) {
        finishRetryPass();
        return;
    }
    retryInProgress_ = true;
    continueRetryPass(std::make_shared<RetryPass>(RetryPass{pendingReports_.ids(), 0}));
}

void NorvaneIndexService::continueRetryPass(const std::shared_ptr<RetryPass>& pass) {
    // Stops sending as soon as the user opts out; what was not tried stays queued.
    while (pass->next < pass->ids.size() && isEnabled_) {
        const auto id = pass->ids[pass->next++];
        const auto* report = pendingReports_.find(id);
        if (report == nullptr) {
            continue;
        }
        sendReport(*report, [this, pass, id](std::exception_ptr error) {
            if (!error) {
                pendingReports_.remove(id);
            }
            continueRetryPass(pass);
        });
        return;
    }
    finishRetryPass();
}

void NorvaneIndexService::finishRetryPass() {
    // Failed reports kept their places; reports queued during the pass follow them.
    pendingReports_.applyLimits(clock_());
    savePendingReports();
    retryInProgress_ = false;
    auto waiters = std::move(retryWaiters_);
    retryWaiters_.clear();
    for (auto& waiter : waiters) {
        waiter();
    }
}

void NorvaneIndexService::fetch(std::function<void(Outcome<CommunityBenchmarks>)> then) {
    perform("GET", "benchmarks", {}, timeouts_.benchmarks, [then](Outcome<platform::HttpResponse> outcome) {
        Outcome<CommunityBenchmarks> result = std::exception_ptr();
        if (auto* error = std::get_if<std::exception_ptr>(&outcome)) {
            result = *error;
        } else if (const auto& response = std::get<platform::HttpResponse>(outcome); response.status != 200) {
            result = std::make_exception_ptr(BenchmarkError(BenchmarkError::Kind::fetchFailed));
        } else {
            try {
                result = CommunityBenchmarks::fromJSON(JsonCoding::parse(response.body));
            } catch (...) {
                result = std::current_exception();
            }
        }
        then(std::move(result));
    });
}

void NorvaneIndexService::obtainBenchmarks(bool forceRefresh,
                                           std::function<void(std::optional<CachedBenchmarks>)> then) {
    if (!forceRefresh && cachedBenchmarks_ && cachedBenchmarks_->isValid(clock_())) {
        then(cachedBenchmarks_);
        return;
    }
    fetch([this, then](Outcome<CommunityBenchmarks> outcome) {
        if (auto* benchmarks = std::get_if<CommunityBenchmarks>(&outcome)) {
            cachedBenchmarks_ = CachedBenchmarks{.benchmarks = std::move(*benchmarks), .fetchedAt = clock_()};
            saveBenchmarkCache();
        }
        then(cachedBenchmarks_);
    });
}

void NorvaneIndexService::loadStoredState() {
    const auto forgotten = storage_.loadForgottenDeviceIds();
    auto reports = storage_.loadPendingReports();
    if (forgotten) {
        forgottenDeviceIds_ = *forgotten;
        std::erase_if(reports, [this](const auto& report) { return forgottenDeviceIds_.contains(report.deviceId); });
    } else {
        // Which ids were given up cannot be read, so no queued report can be told safe to send.
        if (!reports.empty()) {
            platform::logError(
                "The device ids given up cannot be read, so the reports waiting to be sent are left out");
        }
        reports.clear();
    }
    pendingReports_.replaceAll(std::move(reports), clock_());
    cachedBenchmarks_ = storage_.loadBenchmarkCache();
}

void NorvaneIndexService::savePendingReports() {
    const auto failure = storage_.savePendingReports(pendingReports_.reports());
    pendingReportsSaveFailure_ =
        failure ? std::optional("The reports waiting to be sent could not be saved: " + *failure) : std::nullopt;
}

void NorvaneIndexService::saveBenchmarkCache() const {
    if (cachedBenchmarks_) {
        // A cache that is not kept is fetched again at the next start; nothing depends on it.
        static_cast<void>(storage_.saveBenchmarkCache(*cachedBenchmarks_));
    }
}

} // namespace norvane
