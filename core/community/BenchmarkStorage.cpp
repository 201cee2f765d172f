#include "core/community/BenchmarkStorage.h"

#include "core/community/JsonCoding.h"
#include "platform/AtomicFile.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace norvane {

std::vector<AnonymousActivityReport> BenchmarkStorage::loadPendingReports() const {
    const auto contents = read(pendingReportsFile());
    if (!contents) {
        return {};
    }
    try {
        const auto document = JsonCoding::parse(*contents);
        if (!document.is_array()) {
            return {};
        }
        std::vector<AnonymousActivityReport> reports;
        for (const auto& element : document) {
            reports.push_back(AnonymousActivityReport::fromJSON(element));
        }
        return reports;
    } catch (const JsonDecodingError&) {
        return {};
    }
}

void BenchmarkStorage::savePendingReports(const std::vector<AnonymousActivityReport>& reports) const {
    try {
        nlohmann::ordered_json document = nlohmann::ordered_json::array();
        for (const auto& report : reports) {
            document.push_back(report.toJSON());
        }
        write(pendingReportsFile(), JsonCoding::dump(document));
    } catch (const JsonEncodingError&) {
        // The queue stays in memory; the file keeps its last good content.
    }
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

void BenchmarkStorage::saveBenchmarkCache(const CachedBenchmarks& cache) const {
    try {
        write(benchmarksCacheFile(), JsonCoding::dump(cache.toJSON()));
    } catch (const JsonEncodingError&) {
        // As for the queue: the old file stays.
    }
}

std::optional<std::string> BenchmarkStorage::read(const std::filesystem::path& file) const {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        return std::nullopt;
    }
    std::ostringstream contents;
    contents << stream.rdbuf();
    return stream.bad() ? std::nullopt : std::optional(contents.str());
}

void BenchmarkStorage::write(const std::filesystem::path& file, const std::string& contents) const {
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    try {
        platform::AtomicFile::write(file, contents);
    } catch (const std::system_error&) {
        // A folder or file that cannot be written leaves the data in memory for this run.
    }
}

} // namespace norvane
