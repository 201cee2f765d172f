#pragma once

#include "counter/FileReader.h"
#include "counter/IgnoreRules.h"
#include "counter/LanguageRegistry.h"
#include "counter/MemoryBudget.h"
#include "counter/SkippedEntries.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norvane::counter {

/// A file to count and the languages its name allows; none when the "#!" line of the file is to tell.
struct SourceFile {
    std::string path;
    std::optional<LanguageChoice> language;
};

/// A folder listed in part, and its own ignore rules (see FolderReader::read).
struct FolderListing;

/// A folder still to be listed, or the rest of one.
struct FolderTask {
    std::string path;
    /// Leading bytes of every path below the walk's root that name the root and its "/".
    std::size_t rootLength;
    /// Leading bytes of a path from the root that name this folder and its "/" (0 at the root).
    std::size_t baseLength;
    /// Those in force above the folder.
    std::shared_ptr<const IgnoreRules> rules;
    /// Where the listing goes on, for the rest of a folder; none for one not listed yet.
    std::shared_ptr<FolderListing> rest = nullptr;
};

/// Lists one folder for the walk: the subfolders to descend into and the files to count, after
/// the folder's own .gitignore and .ignore files and those above it. Symbolic links, version
/// control folders, files of no known language (unless their name has no extension, as scripts
/// often do) and anything that is neither a regular file nor a folder are left out; so is an
/// ignore file that cannot be read, which is noted as skipped. An ignore file of any size is
/// applied, its patterns taken from `budget`.
class FolderReader {
public:
    FolderReader(const LanguageRegistry& registry, MemoryBudget& budget) : registry_(registry), budget_(budget) {}

    /// Roots the walk at `path`, a folder.
    static FolderTask root(const std::string& path);

    /// Lists a part of a folder, reading its ignore files through `reader` first. A large folder is
    /// listed a part at a time, so that the walk holds a part's names, not all of them: gives the
    /// task that lists the rest, if the folder may hold more. Throws std::system_error naming the
    /// folder when it cannot be listed (a folder removed meanwhile has no entries),
    /// std::length_error when its ignore files cannot be applied within their bounds, and
    /// MemoryBudget::Crowded when they could but other threads hold too much of the budget
    /// meanwhile (see IgnoreRules).
    std::optional<FolderTask> read(const FolderTask& folder, FileReader& reader, std::vector<FolderTask>& folders,
                                   std::vector<SourceFile>& files, SkippedEntries& skipped) const;

private:
    const LanguageRegistry& registry_;
    MemoryBudget& budget_;
};

} // namespace norvane::counter
