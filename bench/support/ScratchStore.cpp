#include "bench/support/ScratchStore.h"

#include "core/models/NorvaneDatabase.h"

#include <stdexcept>

#include <unistd.h>

namespace norvane::bench {
namespace {

std::filesystem::path makeFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "norvane-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    return pattern;
}

} // namespace

ScratchStore::ScratchStore(const std::string& repository) : folder_(makeFolder()) {
    context_ = std::make_shared<platform::ModelContext>(NorvaneDatabase::makeContainer(folder_ / "norvane.store"));
    project_ = Project::create("bench", repository, std::nullopt, ProjectType::organic);
    context_->insert(project_);
    context_->save();
}

ScratchStore::~ScratchStore() {
    project_.reset();
    context_.reset();
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
}

} // namespace norvane::bench
