#pragma once

#include <optional>
#include <string>
#include <vector>

namespace norvane {

/// What a repository's history is, as a collection reads it before anything else: the commits
/// that HEAD and the local branches name, a shallow clone's boundary, and what else changes which
/// commits they reach or how git counts their lines.
struct GitTips {
    /// Where the repository's work tree begins (its top level), as found from the project's folder:
    /// by its real path, as git names it; or, where it begins as many levels above the folder as the
    /// one the rows were booked from did, by the path that one was booked by, which a link left where
    /// the folder was may lead through (RepositoryPlace).
    std::string workTree;
    /// HEAD's commit; none before the first commit of its branch.
    std::optional<std::string> head;
    /// The distinct commits of HEAD and every local branch, sorted.
    std::vector<std::string> commits;
    /// The boundary commits of a shallow clone, one a line, sorted; empty for a whole history.
    std::string shallowBoundary;
    /// The repository's replacements, "HASH refs/replace/NAME" one a line, sorted.
    std::string replacements;
    /// The repository's own info/attributes and info/grafts, as they read, and the configured
    /// binary setting of the diff drivers those attributes name.
    std::string infoFiles;

    bool operator==(const GitTips&) const = default;
};

} // namespace norvane
