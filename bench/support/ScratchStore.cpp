#include "bench/support/ScratchStore.h"

#include "core/models/NorvaneDatabase.h"

#include <stdexcept>

#include <unistd.h>

namespace norvane::bench {
namespace {

std::filesystem::path makeFolder(const std::filesystem::path& parent) {
    std::string pattern = (parent / "norvane-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    return pattern;
}

} // namespace

ScratchStore::ScratchStore(const std::string& repository, const std::optional<std::filesystem::path>& emptyStore)
    : folder_(makeFolder(emptyStore ? emptyStore->parent_path() : std::filesystem::temp_directory_path())),
      kept_(emptyStore.has_value()) {
    const auto file = folder_ / "norvane.store";
    if (emptyStore) {
        std::filesystem::copy_file(*emptyStore, file);
    }
    context_ = std::make_shared<platform::ModelContext>(NorvaneDatabase::makeContainer(file));
    project_ = Project::create("bench", repository, std::nullopt, ProjectType::organic);
    context_->insert(project_);
    context_->save();
}

ScratchStore::~ScratchStore() {
    project_.reset();
    context_.reset();
    if (kept_) return;
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
}

} // namespace norvane::bench
