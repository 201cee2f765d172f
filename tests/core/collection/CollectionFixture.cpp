#include "tests/core/collection/CollectionFixture.h"

namespace norvane::testing {

SccLookup builtInCounterOnly() { return {{}, builtProgram("no-such-which"), {builtProgram("norvane-count")}}; }

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
