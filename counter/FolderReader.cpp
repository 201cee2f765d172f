#include "counter/FolderReader.h"

#include "counter/FileReader.h"
#include "counter/QuotedPath.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string_view>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace norvane::counter {

// Outside the anonymous namespace, as FolderListing, which the header names, holds one.
struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

namespace {

struct FolderEntry {
    std::string name;
    bool isFolder;
};

// The entries listed at once: enough for most folders, few enough that a folder of a million files
// is held a small part at a time.
constexpr std::size_t kEntriesPerPart = 1024;

bool isVersionControlFolder(std::string_view name) { return name == ".git" || name == ".hg" || name == ".svn"; }

std::string joinPath(const std::string& folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    if (path.empty() || path.back() != '/') {
        path.push_back('/');
    }
    path.append(name);
    return path;
}

enum class EntryKind { Folder, File, Other };

// File systems that do not report entry types in the listing are asked for each entry.
EntryKind entryKind(DIR* folder, const dirent& entry) {
    switch (entry.d_type) {
    case DT_DIR: return EntryKind::Folder;
    case DT_REG: return EntryKind::File;
    case DT_UNKNOWN: break;
    default: return EntryKind::Other;
    }
    struct stat status {};
    if (fstatat(dirfd(folder), entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return EntryKind::Other;
    }
    return S_ISDIR(status.st_mode) ? EntryKind::Folder : S_ISREG(status.st_mode) ? EntryKind::File : EntryKind::Other;
}

// A line of an ignore file that goes on in the next window is kept whole in the reader's buffer.
static_assert(IgnoreRules::kLongestLine < FileReader::kWindowLength + TextSource::kLongestKept);

/// The rules in force in `folder`; an ignore file that cannot be read is noted in `skipped` and named
/// in `unreadable`.
std::shared_ptr<const IgnoreRules> loadRules(const FolderTask& folder, FileReader& reader, MemoryBudget& budget,
                                             SkippedEntries& skipped, std::vector<std::string>& unreadable) {
    auto rules = std::make_shared<IgnoreRules>(folder.rules, folder.baseLength, &budget);
    // .ignore comes last, so its lines take precedence over those of .gitignore.
    for (const char* name : {".gitignore", ".ignore"}) {
        const auto path = joinPath(folder.path, name);
        try {
            auto reading = reader.open(path.c_str());
            if (reading) {
                rules->addFile(reading->fill(), &*reading, path);
            }
        } catch (const std::system_error& error) {
            skipped.addFile(path, error);
            unreadable.emplace_back(name);
        }
    }
    if (rules->empty()) {
        return folder.rules;
    }
    return rules;
}

} // namespace

/// The open folder and the ignore rules in force in it, its own and those above it.
struct FolderListing {
    std::unique_ptr<DIR, FolderCloser> handle;
    std::shared_ptr<const IgnoreRules> rules;
    /// Its ignore files that could not be read: skipped already, so not tried again as files to count.
    std::vector<std::string> unreadableIgnoreFiles;
};

namespace {

/// Lists up to kEntriesPerPart more entries of `folder`; true when it holds no more.
bool listPart(DIR* folder, std::vector<FolderEntry>& entries, bool& hasIgnoreFile) {
    while (entries.size() < kEntriesPerPart) {
        const dirent* entry = readdir(folder);
        if (entry == nullptr) {
            return true;
        }
        const std::string_view name = entry->d_name;
        const EntryKind kind = name == "." || name == ".." ? EntryKind::Other : entryKind(folder, *entry);
        if (kind == EntryKind::Other) {
            continue;
        }
        hasIgnoreFile = hasIgnoreFile || (kind == EntryKind::File && (name == ".gitignore" || name == ".ignore"));
        entries.push_back(FolderEntry{std::string(name), kind == EntryKind::Folder});
    }
    return false;
}

} // namespace

FolderTask FolderReader::root(const std::string& path) {
    const std::size_t rootLength = !path.empty() && path.back() == '/' ? path.size() : path.size() + 1;
    return FolderTask{path, rootLength, 0, nullptr};
}

std::optional<FolderTask> FolderReader::read(const FolderTask& folder, FileReader& reader,
                                             std::vector<FolderTask>& folders, std::vector<SourceFile>& files,
                                             SkippedEntries& skipped) const {
    std::shared_ptr<FolderListing> listing = folder.rest;
    if (!listing) {
        std::unique_ptr<DIR, FolderCloser> handle(opendir(folder.path.c_str()));
        if (!handle) {
            // A folder removed since its parent was listed holds nothing to count; one that cannot
            // be read is the caller's to report.
            if (errno == ENOENT) {
                return std::nullopt;
            }
            throw std::system_error(errno, std::generic_category(), "cannot read " + quotedPath(folder.path));
        }
        listing = std::make_shared<FolderListing>(FolderListing{std::move(handle), folder.rules});
    }
    std::vector<FolderEntry> entries;
    bool hasIgnoreFile = false;
    const bool listedWhole = listPart(listing->handle.get(), entries, hasIgnoreFile);
    // The ignore files apply to every part: where a later part may list them, they are looked for.
    if (!folder.rest && (hasIgnoreFile || !listedWhole)) {
        listing->rules = loadRules(folder, reader, budget_, skipped, listing->unreadableIgnoreFiles);
    }
    const auto& rules = listing->rules;
    for (auto& entry : entries) {
        std::string path = joinPath(folder.path, entry.name);
        const std::string_view fromRoot = std::string_view(path).substr(folder.rootLength);
        if (entry.isFolder) {
            if (!isVersionControlFolder(entry.name) && !(rules && rules->isIgnored(fromRoot, true))) {
                const std::size_t baseLength = fromRoot.size() + 1;
                folders.push_back(FolderTask{std::move(path), folder.rootLength, baseLength, rules});
            }
            continue;
        }
        if (std::ranges::find(listing->unreadableIgnoreFiles, entry.name) != listing->unreadableIgnoreFiles.end()) {
            continue;
        }
        const auto language = registry_.find(entry.name);
        if ((language || LanguageRegistry::mayBeScript(entry.name)) && !(rules && rules->isIgnored(fromRoot, false))) {
            files.push_back(SourceFile{std::move(path), language});
        }
    }
    if (listedWhole) {
        return std::nullopt;
    }
    return FolderTask{folder.path, folder.rootLength, folder.baseLength, folder.rules, std::move(listing)};
}

} // namespace norvane::counter
