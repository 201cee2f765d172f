#pragma once

#include "core/models/NorvaneDatabase.h"
#include "core/models/Snapshot.h"
#include "core/models/SnapshotLanguage.h"
#include "platform/persistence/ModelContext.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norvane::testing {

/// A language row of a code count.
struct LanguageRow {
    std::string language;
    std::int64_t code = 0;
    std::optional<OutputCategory> category = OutputCategory::code;
    std::int64_t complexity = 0;
};

/// An in-memory store, for fixtures to derive from, and records added to its context unsaved.
class InMemoryStore {
protected:
    /// A project named `name` at /tmp/name.
    std::shared_ptr<Project> addProject(const std::string& name, ProjectType type = ProjectType::organic) const {
        auto project = Project::create(name, "/tmp/" + name, std::nullopt, type);
        context->insert(project);
        return project;
    }

    /// A snapshot of `project` (none: null) taken at `capturedAt`, with these language rows.
    std::shared_ptr<Snapshot> addSnapshot(const std::shared_ptr<Project>& project, platform::Date capturedAt,
                                          SnapshotType type = SnapshotType::scc,
                                          const std::vector<LanguageRow>& languages = {}) const {
        auto snapshot = Snapshot::create(project);
        snapshot->capturedAt = capturedAt;
        snapshot->setSnapshotType(type);
        context->insert(snapshot);
        for (const auto& row : languages) {
            auto language = SnapshotLanguage::create(row.language, snapshot);
            language->code = row.code;
            language->category = row.category;
            language->complexity = row.complexity;
            context->insert(language);
        }
        return snapshot;
    }

    std::shared_ptr<platform::ModelContext> context =
        std::make_shared<platform::ModelContext>(NorvaneDatabase::makeInMemoryContainer());
};

} // namespace norvane::testing
