#pragma once

#include <stdexcept>
#include <string>

namespace norvane {

/// The core library's error: one of twelve cases, each with a fixed English message that `what()`
/// returns.
class NorvaneError : public std::exception {
public:
    enum class Kind {
        duplicateName,
        pathNotFound,
        pathNotDirectory,
        projectNotFound,
        sccFailed,
        gitFailed,
        snapshotNotFound,
        sccNotFound,
        bareRepository,
        pathNotReadable,
        repositoryNotFound,
        builtInCounterFailed,
    };

    static NorvaneError duplicateName(std::string name) { return {Kind::duplicateName, std::move(name)}; }
    static NorvaneError pathNotFound(std::string path) { return {Kind::pathNotFound, std::move(path)}; }
    static NorvaneError pathNotDirectory(std::string path) { return {Kind::pathNotDirectory, std::move(path)}; }
    static NorvaneError projectNotFound(std::string name) { return {Kind::projectNotFound, std::move(name)}; }
    static NorvaneError sccFailed(std::string detail) { return {Kind::sccFailed, std::move(detail)}; }
    static NorvaneError gitFailed(std::string detail) { return {Kind::gitFailed, std::move(detail)}; }
    static NorvaneError snapshotNotFound() { return {Kind::snapshotNotFound, {}}; }
    static NorvaneError sccNotFound() { return {Kind::sccNotFound, {}}; }
    /// A repository without a working tree: there is no code to count.
    static NorvaneError bareRepository(std::string path) { return {Kind::bareRepository, std::move(path)}; }
    /// A folder that cannot be listed, such as one without read permission.
    static NorvaneError pathNotReadable(std::string path) { return {Kind::pathNotReadable, std::move(path)}; }
    /// A folder whose project was a git repository and holds none now, such as the mount point of
    /// a disk that is not mounted: counting it would take the project for an empty one.
    static NorvaneError repositoryNotFound(std::string path) { return {Kind::repositoryNotFound, std::move(path)}; }
    /// What `sccFailed` says of scc, said of the built-in counter when it is the one that ran.
    static NorvaneError builtInCounterFailed(std::string detail) {
        return {Kind::builtInCounterFailed, std::move(detail)};
    }

    Kind kind() const { return kind_; }
    /// The carried name, path or detail; empty for the two cases without one.
    const std::string& value() const { return value_; }
    /// The English message.
    const std::string& errorDescription() const { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

    /// The same case, and texts that are the same Unicode text, however their accents are composed.
    bool operator==(const NorvaneError& other) const;

private:
    NorvaneError(Kind kind, std::string value);

    Kind kind_;
    std::string value_;
    std::string message_;
};

} // namespace norvane
