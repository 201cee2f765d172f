#pragma once

#include "core/models/Project.h"

#include "platform/persistence/ModelContext.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace norvane::bench {

/// A store in a new folder under the system's temporary folder holding one project, "bench", over
/// a repository; the folder goes with all it holds when the object goes.
class ScratchStore {
public:
    /// With `emptyStore`, a store file without projects, the store is a copy of it in a new folder
    /// beside it: a store that exists already, as a user's does, rather than one set up for the
    /// run. That folder stays when the object goes; whoever made the empty store removes them.
    explicit ScratchStore(const std::string& repository,
                          const std::optional<std::filesystem::path>& emptyStore = std::nullopt);
    ~ScratchStore();
    ScratchStore(const ScratchStore&) = delete;
    ScratchStore& operator=(const ScratchStore&) = delete;

    const std::shared_ptr<platform::ModelContext>& context() const { return context_; }
    const std::shared_ptr<Project>& project() const { return project_; }

private:
    std::filesystem::path folder_;
    bool kept_;
    std::shared_ptr<platform::ModelContext> context_;
    std::shared_ptr<Project> project_;
};

} // namespace norvane::bench
