// Imports one repository's history into a new store in a temporary folder, as adding a project
// does, and prints what it stored. history_import.sh times it against the git log it runs.

#include "core/collection/Collector.h"
#include "core/models/NorvaneDatabase.h"

#include "platform/persistence/ModelContext.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include <unistd.h>

namespace {

std::filesystem::path makeTemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "norvane-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    return pattern;
}

int importHistory(const std::string& repository, int sampleInterval, const std::filesystem::path& folder) {
    using namespace norvane;
    const auto context =
        std::make_shared<platform::ModelContext>(NorvaneDatabase::makeContainer(folder / "norvane.store"));
    auto project = Project::create("bench", repository, std::nullopt, ProjectType::organic);
    context->insert(project);
    context->save();
    Collector collector(context);
    const auto result = collector.collectHistory(project, sampleInterval);
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
    const int sampleInterval = argc == 3 ? std::atoi(argv[2]) : 7;
    const auto folder = makeTemporaryFolder();
    int status = 1;
    try {
        status = importHistory(argv[1], sampleInterval, folder);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
    }
    std::filesystem::remove_all(folder);
    return status;
}
