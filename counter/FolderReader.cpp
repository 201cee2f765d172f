#include "counter/FolderReader.h"

#include "counter/FileReader.h"

#include <cerrno>
#include <memory>
#include <string_view>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace norvane::counter {

namespace {

struct FolderEntry {
    std::string name;
    bool isFolder;
};

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

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

std::shared_ptr<const IgnoreRules> loadRules(const FolderTask& folder, FileReader& reader, MemoryBudget& budget,
                                             SkippedEntries& skipped) {
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
        }
    }
    if (rules->empty()) {
        return folder.rules;
    }
    return rules;
}

} // namespace

FolderTask FolderReader::root(const std::string& path) {
    const std::size_t rootLength = !path.empty() && path.back() == '/' ? path.size() : path.size() + 1;
    return FolderTask{path, rootLength, 0, nullptr};
}

void FolderReader::read(const FolderTask& folder, FileReader& reader, std::vector<FolderTask>& folders,
                        std::vector<SourceFile>& files, SkippedEntries& skipped) const {
    const std::unique_ptr<DIR, FolderCloser> handle(opendir(folder.path.c_str()));
    if (!handle) {
        // A folder removed since its parent was listed holds nothing to count; one that cannot be
        // read is the caller's to report.
        if (errno == ENOENT) {
            return;
        }
        throw std::system_error(errno, std::generic_category(), "cannot read " + folder.path);
    }
    std::vector<FolderEntry> entries;
    bool hasIgnoreFile = false;
    while (const dirent* entry = readdir(handle.get())) {
        const std::string_view name = entry->d_name;
        const EntryKind kind = name == "." || name == ".." ? EntryKind::Other : entryKind(handle.get(), *entry);
        if (kind == EntryKind::Other) {
            continue;
        }
        hasIgnoreFile = hasIgnoreFile || (kind == EntryKind::File && (name == ".gitignore" || name == ".ignore"));
        entries.push_back(FolderEntry{std::string(name), kind == EntryKind::Folder});
    }
    const auto rules = hasIgnoreFile ? loadRules(folder, reader, budget_, skipped) : folder.rules;
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
        const auto language = registry_.find(entry.name);
        if ((language || LanguageRegistry::mayBeScript(entry.name)) && !(rules && rules->isIgnored(fromRoot, false))) {
            files.push_back(SourceFile{std::move(path), language});
        }
    }
}

} // namespace norvane::counter
