#pragma once

#include "core/models/Project.h"

#include "platform/persistence/ModelContext.h"

#include <filesystem>
#include <memory>
#include <string>

namespace norvane::bench {

/// A store in a new folder under the system's temporary folder holding one project, "bench", over
/// a repository; the folder goes with all it holds when the object goes.
class ScratchStore {
public:
    explicit ScratchStore(const std::string& repository);
    ~ScratchStore();
    ScratchStore(const ScratchStore&) = delete;
    ScratchStore& operator=(const ScratchStore&) = delete;

    const std::shared_ptr<platform::ModelContext>& context() const { return context_; }
    const std::shared_ptr<Project>& project() const { return project_; }

private:
    std::filesystem::path folder_;
    std::shared_ptr<platform::ModelContext> context_;
    std::shared_ptr<Project> project_;
};

} // namespace norvane::bench
