// Imports one repository's history into a new store in a temporary folder, as adding a project
// does, and prints what it stored. history_import.sh times it against the git log it runs; goal:
// within 1.05x of that log's time, importing every 7 days as an add does.

#include "bench/support/ScratchStore.h"
#include "core/collection/Collector.h"

#include "platform/persistence/ModelContext.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

int importHistory(const std::string& repository, int sampleInterval) {
    using namespace norvane;
    const bench::ScratchStore store(repository);
    Collector collector(store.context());
    const auto result = collector.collectHistory(store.project(), sampleInterval);
    if (result.error) {
        std::cerr << "import failed: " << result.error->message << "\n";
        return 1;
    }
    std::cout << result.totalCommits << " commits, " << result.snapshotCount << " history snapshots\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: norvane-bench-history-import REPOSITORY [SAMPLE_INTERVAL_DAYS]\n";
        return 2;
    }
    try {
        return importHistory(argv[1], argc == 3 ? std::atoi(argv[2]) : 7);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
}
