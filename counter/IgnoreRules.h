#pragma once

#include "counter/MappedBlock.h"
#include "counter/MemoryBudget.h"
#include "counter/TextSource.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::counter {

/// The ignore patterns in force inside one folder: those of its own .gitignore and .ignore files,
/// then those of the folders above it. A deeper file overrides a higher one, and within a folder
/// the last matching line decides. Shared, immutable, between the threads that walk below it.
///
/// The lines are kept compiled (see IgnorePattern), one record after another in a few blocks of
/// whole pages (see MappedBlock). The pages are taken from the count's budget while the rules live
/// and given back when the walk below the folder is done and the rules are freed, so that the rules
/// held at one time never take more memory than the budget, however many ignore files a count reads.
class IgnoreRules {
public:
    /// The longest line read, but for what follows a NUL, which ends a pattern.
    static constexpr std::size_t kLongestLine = 1024 * 1024;

    /// `baseLength` is how many leading bytes of a path from the walk's root name this folder
    /// (with its trailing "/"), so that the rest is the path relative to it. Without a budget the
    /// rules may take any memory.
    IgnoreRules(std::shared_ptr<const IgnoreRules> parent, std::size_t baseLength, MemoryBudget* budget = nullptr);
    IgnoreRules(const IgnoreRules&) = delete;
    IgnoreRules& operator=(const IgnoreRules&) = delete;
    ~IgnoreRules();

    /// Adds the lines of one ignore file, which a byte-order mark may start, from its first window
    /// `first` on through the windows that `rest` hands out (none: `first` is the whole file); later
    /// lines take precedence over earlier ones. Throws std::length_error naming `path` when a line
    /// is longer than kLongestLine or when the patterns in force in this folder, its own and those
    /// of the folders above it, would take more than the whole budget (saying how much of the file
    /// made how many bytes of patterns); and MemoryBudget::Crowded when they would fit, but the
    /// rules that other threads hold leave no room for them now.
    void addFile(std::string_view first, TextSource* rest, const std::string& path);
    bool empty() const { return blocks_.empty(); }

    /// `pathFromRoot` is the entry's path from the walk's root, parts joined by "/".
    bool isIgnored(std::string_view pathFromRoot, bool isFolder) const;

private:
    struct Block {
        MappedBlock bytes;
        std::size_t used = 0;
    };

    /// The ignore file being added and how far it was read, for the refusal that may stop it.
    struct FileBeingAdded {
        const std::string& path;
        /// What this folder's blocks took before the file.
        std::size_t bytesBefore;
        /// Bytes of the file up to the end of the line being added.
        std::size_t textRead = 0;
    };

    void addLine(std::string_view line, const FileBeingAdded& file);
    /// Where a record of `length` bytes goes, in a new block where the last one lacks room.
    char* room(std::size_t length, const FileBeingAdded& file);
    void addBlock(std::size_t length, const FileBeingAdded& file);
    void shrinkLastBlock();
    [[noreturn]] void refuseAsTooLarge(const FileBeingAdded& file) const;
    /// The last line of this folder that names the entry, or null.
    const char* lastMatch(std::string_view relativePath, bool isFolder) const;

    std::shared_ptr<const IgnoreRules> parent_;
    std::size_t baseLength_;
    MemoryBudget* budget_;
    /// What this folder's blocks took from the budget, and what those of the folders above it did.
    std::size_t bytes_ = 0;
    std::size_t bytesAbove_;
    std::vector<Block> blocks_;
    std::size_t nextBlockLength_;
};

} // namespace norvane::counter
