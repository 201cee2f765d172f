#include "tests/core/collection/CollectionFixture.h"

#include <cstdlib>

namespace norvane::testing {

SccLookup builtInCounterOnly() {
    const char* bin = std::getenv("NORVANE_TEST_BIN");
    const std::filesystem::path folder = bin != nullptr ? bin : ".";
    return {{}, folder / "no-such-which", {folder / "norvane-count"}};
}

std::shared_ptr<Project> CollectionFixture::addProject(const std::string& name, const std::string& path,
                                                       ProjectType type) {
    auto project = Project::create(name, path, std::nullopt, type);
    context->insert(project);
    context->save();
    return project;
}

void CollectionFixture::execute(const std::string& sql) {
    container->withDatabase([&sql](platform::Database& database) { database.execute(sql); });
}

} // namespace norvane::testing
