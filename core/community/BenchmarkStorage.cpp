#include "core/community/BenchmarkStorage.h"

#include "core/community/JsonCoding.h"
#include "platform/AtomicFile.h"
#include "platform/ErrorLog.h"
#include "platform/PrivateFiles.h"

#include <cerrno>
#include <cstdint>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvane {

std::vector<AnonymousActivityReport> BenchmarkStorage::loadPendingReports() const {
    const auto contents = read(pendingReportsFile());
    if (!contents) {
        return {};
    }
    try {
        const auto document = JsonCoding::parse(*contents);
        if (!document.is_array()) {
            throw JsonDecodingError("Expected a list");
        }
        std::vector<AnonymousActivityReport> reports;
        for (const auto& element : document) {
            reports.push_back(AnonymousActivityReport::fromJSON(element));
        }
        return reports;
    } catch (const JsonDecodingError& error) {
        platform::logError("The reports waiting to be sent in " + pendingReportsFile().string() +
                           " cannot be read, so they are left out: " + error.what());
        return {};
    }
}

BenchmarkStorage::WriteFailure
BenchmarkStorage::savePendingReports(const std::vector<AnonymousActivityReport>& reports) const {
    try {
        nlohmann::ordered_json document = nlohmann::ordered_json::array();
        for (const auto& report : reports) {
            document.push_back(report.toJSON());
        }
        return write(pendingReportsFile(), JsonCoding::dump(document));
    } catch (const JsonEncodingError& error) {
        // The queue stays in memory; the file keeps its last good content.
        return error.what();
    }
}

BenchmarkStorage::WriteFailure BenchmarkStorage::removePendingReports() const {
    std::error_code error;
    std::filesystem::remove(pendingReportsFile(), error);
    return error ? std::optional(error.message()) : std::nullopt;
}

std::optional<CachedBenchmarks> BenchmarkStorage::loadBenchmarkCache() const {
    const auto contents = read(benchmarksCacheFile());
    if (!contents) {
        return std::nullopt;
    }
    try {
        return CachedBenchmarks::fromJSON(JsonCoding::parse(*contents));
    } catch (const JsonDecodingError&) {
        return std::nullopt;
    }
}

BenchmarkStorage::WriteFailure BenchmarkStorage::saveBenchmarkCache(const CachedBenchmarks& cache) const {
    try {
        return write(benchmarksCacheFile(), JsonCoding::dump(cache.toJSON()));
    } catch (const JsonEncodingError& error) {
        // As for the queue: the old file stays.
        return error.what();
    }
}

std::optional<std::set<std::string>> BenchmarkStorage::loadForgottenDeviceIds() const {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(forgottenDevicesFile(), error))) {
        return std::set<std::string>{};
    }
    const auto contents = read(forgottenDevicesFile());
    if (!contents) {
        return std::nullopt;
    }
    try {
        const auto document = JsonCoding::parse(*contents);
        if (!document.is_array()) {
            return std::nullopt;
        }
        std::set<std::string> deviceIds;
        for (const auto& element : document) {
            deviceIds.insert(JsonCoding::asText(element, "device_id"));
        }
        return deviceIds;
    } catch (const JsonDecodingError&) {
        return std::nullopt;
    }
}

BenchmarkStorage::WriteFailure BenchmarkStorage::saveForgottenDeviceIds(const std::set<std::string>& deviceIds) const {
    try {
        return write(forgottenDevicesFile(), JsonCoding::dump(nlohmann::json(deviceIds)));
    } catch (const JsonEncodingError& error) {
        return error.what();
    }
}

std::optional<std::string> BenchmarkStorage::read(const std::filesystem::path& file) const {
    // One that an earlier version left open to others is the user's alone from now on.
    platform::PrivateFiles::tighten(file);
    // Without blocking: opening a FIFO for reading would otherwise wait for a writer for good.
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return std::nullopt;
    }
    std::string contents;
    struct stat status {};
    bool sane = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
                static_cast<std::uintmax_t>(status.st_size) <= maxFileBytes;
    // A file that grows while it is read is cut off at the limit and refused.
    char buffer[65536];
    while (sane) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            sane = count == 0;
            break;
        }
        contents.append(buffer, static_cast<std::size_t>(count));
        sane = contents.size() <= maxFileBytes;
    }
    ::close(descriptor);
    return sane ? std::optional(std::move(contents)) : std::nullopt;
}

BenchmarkStorage::WriteFailure BenchmarkStorage::write(const std::filesystem::path& file,
                                                       const std::string& contents) const {
    try {
        platform::PrivateFiles::createFolder(folder_);
    } catch (const std::filesystem::filesystem_error&) {
        // The write below says why.
    }
    try {
        // What the files hold ties a device id to the user's days of work: the user's alone.
        platform::AtomicFile::writePrivate(file, contents);
    } catch (const std::system_error& error) {
        return error.what();
    }
    return std::nullopt;
}

} // namespace norvane
