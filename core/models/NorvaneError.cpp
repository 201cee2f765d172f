#include "core/models/NorvaneError.h"

#include "platform/UnicodeText.h"

namespace norvane {
namespace {

std::string messageFor(NorvaneError::Kind kind, const std::string& value) {
    switch (kind) {
    case NorvaneError::Kind::duplicateName: return "A project named '" + value + "' already exists";
    case NorvaneError::Kind::pathNotFound: return "Path not found: " + value;
    case NorvaneError::Kind::pathNotDirectory: return "Path is not a directory: " + value;
    case NorvaneError::Kind::projectNotFound: return "Project not found: " + value;
    case NorvaneError::Kind::sccFailed: return "scc failed: " + value;
    case NorvaneError::Kind::gitFailed: return "git failed: " + value;
    case NorvaneError::Kind::snapshotNotFound: return "Snapshot not found";
    case NorvaneError::Kind::sccNotFound:
        return "scc not found. Install with: go install github.com/boyter/scc/v3@latest, or put norvane-count, "
               "the built-in counter, beside this program";
    case NorvaneError::Kind::bareRepository:
        return "Path is a bare git repository, with no working tree to count: " + value;
    case NorvaneError::Kind::pathNotReadable: return "Path cannot be read: " + value;
    case NorvaneError::Kind::repositoryNotFound:
        return "Repository not found: " + value +
               " no longer holds the project's git repository (is its disk mounted?)";
    case NorvaneError::Kind::builtInCounterFailed: return "norvane-count failed: " + value;
    }
    return {};
}

} // namespace

NorvaneError::NorvaneError(Kind kind, std::string value)
    : kind_(kind), value_(std::move(value)), message_(messageFor(kind_, value_)) {}

bool NorvaneError::operator==(const NorvaneError& other) const {
    return kind_ == other.kind_ && platform::UnicodeText::canonicallyEqual(value_, other.value_);
}

} // namespace norvane
