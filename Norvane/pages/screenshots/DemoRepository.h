#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/Date.h"

namespace norvane::app {

/// A git repository made for the demo store: files are written and committed at given dates by
/// one fixed author, so every run yields the same history. Throws std::runtime_error with git's
/// message when git fails.
class DemoRepository {
public:
    /// Creates the folder and an empty repository in it.
    explicit DemoRepository(std::filesystem::path folder);

    const std::filesystem::path& folder() const { return folder_; }
    void writeFile(const std::string& relativePath, const std::string& contents) const;
    /// Commits everything in the folder, authored and committed at `date`.
    void commit(const std::string& message, platform::Date date) const;

private:
    void git(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& environment = {},
             const std::string& standardInput = {}) const;

    std::filesystem::path folder_;
};

} // namespace norvane::app
