#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/collection/CollectionResult.h"
#include "core/collection/InitialCollectionProgress.h"
#include "core/collection/InitialCollectionResult.h"
#include "core/models/ProjectEnums.h"

namespace norvane::app {

/// A project to register, as the user typed it.
struct NewProject {
    std::string name;
    std::string path;
    std::optional<std::string> description;
    ProjectType projectType = ProjectType::organic;
};

/// The collector as the application uses it. Every call runs on the collection worker thread and
/// throws when the store behind it cannot be opened; a collection's own failures travel in its
/// results.
class CollectionService {
public:
    /// Place among the sampled commits (1-based) and their number.
    using HistoryProgress = std::function<void(int current, int total)>;
    using InitialProgress = std::function<void(const InitialCollectionProgress& stage)>;

    virtual ~CollectionService() = default;

    /// Every project that is not archived, one after another; throws, too, when the projects
    /// cannot be read.
    virtual std::vector<CollectionResult> collectAll() = 0;
    virtual CollectionResult collectProject(const std::string& name) = 0;
    /// Imports the named project's history, keeping one commit in every `intervalDays` days;
    /// throws the import's failure.
    virtual void collectHistory(const std::string& name, int intervalDays, const HistoryProgress& progress) = 0;
    /// Registers a project from what the user typed, by the rule of `ProjectInput`; throws
    /// NorvaneError, the blank name's refusal or the store's error.
    virtual std::shared_ptr<Project> addProject(const NewProject& project) = 0;
    /// A new project's first collection and history import, reporting each stage.
    virtual InitialCollectionResult collectInitialData(const std::shared_ptr<Project>& project,
                                                       const InitialProgress& progress) = 0;
};

} // namespace norvane::app
