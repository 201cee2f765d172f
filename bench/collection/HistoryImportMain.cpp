// Imports one repository's history into a new store in a temporary folder, as adding a project
// does, and prints what it stored. history_import.sh times it against the git log it runs; goal:
// within 1.05x of that log's time, importing every 7 days as an add does.

#include "bench/support/ScratchStore.h"
#include "core/collection/Collector.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/ProgramArguments.h"

#include "platform/persistence/ModelContext.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace {

int importHistory(const std::string& repository, int sampleInterval,
                  const std::optional<std::filesystem::path>& emptyStore) {
    using namespace norvane;
    const bench::ScratchStore store(repository, emptyStore);
    Collector collector(store.context());
    const auto result = collector.collectHistory(store.project(), sampleInterval);
    if (result.error) {
        std::cerr << "import failed: " << result.error->message << "\n";
        return 1;
    }
    // A time of an import that read nothing would measure nothing.
    if (result.nothingToImport) {
        std::cerr << "import failed: no commits to import at " << repository << "\n";
        return 1;
    }
    std::cout << result.totalCommits << " commits, " << result.snapshotCount << " history snapshots\n";
    return 0;
}

constexpr const char* usage = "usage: norvane-bench-history-import REPOSITORY [SAMPLE_INTERVAL_DAYS [EMPTY_STORE]]\n"
                              "       norvane-bench-history-import --empty-store FILE\n";
constexpr const char* description =
    "With EMPTY_STORE, a store without projects that --empty-store made, the import goes into a\n"
    "copy of it, as an add goes into the store its user has; without, into a store set up anew.\n";

int run(int argc, char** argv) {
    if (const auto status =
            norvane::platform::ProgramArguments(argc, argv, {usage, description, {"--empty-store"}}).refusal(1, 3)) {
        return *status;
    }
    if (std::string_view(argv[1]) == "--empty-store") {
        if (argc != 3) {
            std::cerr << "norvane-bench-history-import: --empty-store takes one FILE\n" << usage;
            return 2;
        }
        norvane::NorvaneDatabase::makeContainer(std::filesystem::absolute(argv[2]));
        return 0;
    }
    const auto emptyStore = argc == 4 ? std::optional<std::filesystem::path>(argv[3]) : std::nullopt;
    return importHistory(argv[1], argc >= 3 ? std::atoi(argv[2]) : 7, emptyStore);
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
}
