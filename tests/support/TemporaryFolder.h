#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace norvane::testing {

/// A fresh folder under the system's temporary folder, or under `parent`, removed with everything
/// in it when the object goes away.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::filesystem::path& parent = std::filesystem::temp_directory_path());
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    /// Writes `contents` to `relativePath`, creating the folders on the way; returns the full path.
    std::filesystem::path writeFile(const std::string& relativePath, const std::string& contents) const;

private:
    std::filesystem::path path_;
};

/// The whole contents of `file`, byte for byte; empty when it cannot be read.
std::string readFile(const std::filesystem::path& file);

/// The names in `folder`, sorted.
std::vector<std::string> folderEntries(const std::filesystem::path& folder);

/// The folder of the programs this build made, as the tests are told of it (NORVANE_TEST_BIN).
/// A test binary that asks for it runs no test at all while that variable names no folder.
std::filesystem::path builtPrograms();
/// A program this build made, in that folder.
std::filesystem::path builtProgram(const std::string& name);

/// Sets an environment variable for the lifetime of the object and restores the old value after.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::string& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    bool hadValue_ = false;
    std::string oldValue_;
};

/// Points HOME, XDG_DATA_HOME and XDG_CONFIG_HOME at a temporary folder, so nothing touches the
/// real home, and what a test writes under ~/.config is what the programs read.
class TemporaryHome {
public:
    TemporaryHome();
    const std::filesystem::path& path() const { return folder_.path(); }
    std::filesystem::path dataHome() const { return folder_.path() / ".local/share"; }

private:
    TemporaryFolder folder_;
    ScopedEnvironment home_;
    ScopedEnvironment dataHome_;
    ScopedEnvironment configHome_;
};

} // namespace norvane::testing
