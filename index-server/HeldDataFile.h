#pragma once

#include <string>

namespace norvane::indexserver {

/// The service's hold on its data file, from before SQLite opens it until after SQLite closes it.
/// A missing file is made for its owner alone, as every file of Norvane is (SQLite gives its log the
/// same rights). The file is locked, so that a second service refuses it instead of publishing other
/// figures from it. And the hold tells when the file at the path is no longer the one held:
/// deleted, replaced or moved away while the service runs.
class HeldDataFile {
public:
    /// Throws `std::runtime_error` naming the file when it cannot be made or opened, is no regular
    /// file (a FIFO, a device, a folder), or when another service holds it.
    explicit HeldDataFile(const std::string& path);
    ~HeldDataFile();
    HeldDataFile(const HeldDataFile&) = delete;
    HeldDataFile& operator=(const HeldDataFile&) = delete;

    /// Whether the file at the path is still the one held.
    bool isAtPath() const;
    /// Takes the group's and others' rights from the file, its log and its shared memory, as an
    /// earlier version left them: SQLite gives the file's rights to a log and shared memory it makes.
    void keepForOwnerAlone() const;

private:
    const std::string path_;
    int descriptor_ = -1;
};

} // namespace norvane::indexserver
