#include "counter/CodeCounter.h"

#include "counter/FileReader.h"
#include "counter/FolderReader.h"
#include "counter/LongFileCount.h"
#include "counter/MappedBlock.h"
#include "counter/QuotedPath.h"
#include "counter/WorkQueue.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <variant>

#include <sys/stat.h>

namespace norvane::counter {

namespace {

// All that a count holds: the ignore patterns, each thread's read buffer, the small blocks kept for
// reuse, and the program, its language tables and the walk, which lists a part of a folder at a
// time and cuts a long file into a bounded number of pieces.
constexpr std::size_t kMemoryBytes = 128 * 1024 * 1024;
constexpr std::size_t kProgramAndWalkBytes = 16 * 1024 * 1024;
static_assert(CodeCounter::kIgnorePatternBytes +
                  CodeCounter::kMostThreads * (FileReader::kWindowLength + TextSource::kLongestKept) +
                  MappedBlock::kMostKeptBytes + kProgramAndWalkBytes <=
              kMemoryBytes);

// Files per task: enough to keep the work list quiet, few enough to share a large folder.
constexpr std::ptrdiff_t kFilesPerTask = 16;
// How much of a file without an extension is read to see whether it begins with "#!".
constexpr std::size_t kScriptProbeLength = 4096;

struct Tally {
    std::int64_t files = 0;
    FileCounts counts;
};

using Tallies = std::vector<Tally>;

/// A piece of a long file, counted apart (see LongFileCount).
struct PieceTask {
    std::shared_ptr<LongFileCount> file;
    std::size_t language;
    std::size_t index;
};

using CountTask = std::variant<FolderTask, std::vector<SourceFile>, PieceTask>;

void add(Tallies& tallies, std::size_t language, const FileCounts& counts) {
    Tally& tally = tallies[language];
    ++tally.files;
    tally.counts += counts;
}

/// Reads a file a window at a time: its first window tells whether it is text and its language.
/// `takeLongFile` is called with the language and the size of a file longer than one window,
/// before reading on; it gives true where it takes the file over, to count it in pieces.
template <typename TakeLongFile>
void countFile(const LanguageRegistry& registry, FileReader& reader, const SourceFile& file, Tallies& tallies,
               TakeLongFile&& takeLongFile) {
    auto reading = reader.open(file.path.c_str(), file.language ? FileReader::kWindowLength : kScriptProbeLength);
    if (!reading || (!file.language && !reading->window().starts_with("#!"))) {
        return;
    }
    const std::string_view first = reading->fill();
    if (FileReader::looksBinary(first)) {
        return;
    }
    const auto language = file.language ? registry.decide(*file.language, first) : registry.findByInterpreter(first);
    if (!language || (!reading->atEnd() && takeLongFile(*language, reading->size()))) {
        return;
    }
    add(tallies, *language, registry.scanner(*language).scan(first, *reading));
}

/// One thread's share of the work: its own read buffer and its own sums, merged at the end.
/// `askForHelp` is called when the work list holds more than the threads there can take.
class CountWorker {
public:
    /// `filesMustBeRead`: a file that cannot be read fails the count rather than being skipped.
    CountWorker(const LanguageRegistry& registry, MemoryBudget& ignoreBudget, WorkQueue<CountTask>& queue,
                unsigned mostThreads, bool filesMustBeRead, std::function<void()> askForHelp)
        : registry_(registry), folderReader_(registry, ignoreBudget), queue_(queue), tallies_(registry.size()),
          mostThreads_(mostThreads), filesMustBeRead_(filesMustBeRead), askForHelp_(std::move(askForHelp)) {}

    void run() {
        while (auto task = queue_.take()) {
            try {
                std::visit([this](auto& work) { process(work); }, *task);
            } catch (...) {
                // A count that fails ends as soon as it can.
                if (!error_) {
                    error_ = std::current_exception();
                }
                queue_.abandon();
            }
            queue_.finish();
        }
    }

    const Tallies& tallies() const { return tallies_; }
    const SkippedEntries& skipped() const { return skipped_; }
    std::exception_ptr error() const { return error_; }

private:
    void process(const FolderTask& folder) {
        folders_.clear();
        files_.clear();
        std::optional<FolderTask> rest;
        try {
            rest = folderReader_.read(folder, reader_, folders_, files_, skipped_);
        } catch (const std::system_error& error) {
            // The folder asked for must be read; one below it that cannot be is left out.
            if (folder.baseLength == 0) {
                throw;
            }
            skipped_.addFolder(folder.path, error);
            return;
        }
        // Under what this part found, so that the walk goes deep before it lists more.
        if (rest) {
            push(std::move(*rest));
        }
        for (auto& subfolder : folders_) {
            push(std::move(subfolder));
        }
        for (auto first = files_.begin(); first != files_.end();) {
            const auto last = first + std::min<std::ptrdiff_t>(kFilesPerTask, files_.end() - first);
            push(std::vector<SourceFile>(std::make_move_iterator(first), std::make_move_iterator(last)));
            first = last;
        }
    }

    void process(std::vector<SourceFile>& files) {
        for (std::size_t index = 0; index < files.size(); ++index) {
            try {
                countFile(registry_, reader_, files[index], tallies_, [&](std::size_t language, std::size_t size) {
                    // A long file keeps this thread busy: the files after it go to the others.
                    handOut(files, index + 1);
                    return countInPieces(files[index].path, language, size);
                });
            } catch (const std::system_error& error) {
                skip(files[index].path, error);
            }
        }
    }

    // A file long enough is counted in pieces by the threads that have nothing else to do: where
    // others wait, it is counted whole, as a piece scanned again costs time a busy thread lacks.
    bool countInPieces(const std::string& path, std::size_t language, std::size_t size) {
        if (!LongFileCount::splits(size) || queue_.backlog() + 1 >= mostThreads_) {
            return false;
        }
        const auto file = std::make_shared<LongFileCount>(path, size, registry_.scanner(language));
        for (std::size_t index = 0; index < file->pieceCount(); ++index) {
            push(PieceTask{file, language, index});
        }
        return true;
    }

    // The last piece of a file to be scanned adds the file up.
    void process(const PieceTask& piece) {
        if (!piece.file->scanPiece(piece.index, reader_)) {
            return;
        }
        try {
            add(tallies_, piece.language, piece.file->total(reader_));
        } catch (const std::system_error& error) {
            skip(piece.file->path(), error);
        }
    }

    void skip(const std::string& path, const std::system_error& error) {
        if (filesMustBeRead_) {
            throw error;
        }
        skipped_.addFile(path, error);
    }

    void handOut(std::vector<SourceFile>& files, std::size_t from) {
        if (from < files.size()) {
            push(std::vector<SourceFile>(std::make_move_iterator(files.begin() + static_cast<std::ptrdiff_t>(from)),
                                         std::make_move_iterator(files.end())));
            files.resize(from);
        }
    }

    void push(CountTask task) {
        if (queue_.push(std::move(task))) {
            askForHelp_();
        }
    }

    const LanguageRegistry& registry_;
    FolderReader folderReader_;
    WorkQueue<CountTask>& queue_;
    FileReader reader_;
    Tallies tallies_;
    SkippedEntries skipped_;
    std::vector<FolderTask> folders_;
    std::vector<SourceFile> files_;
    std::exception_ptr error_;
    unsigned mostThreads_;
    bool filesMustBeRead_;
    std::function<void()> askForHelp_;
};

/// The threads of one count: the calling one, and helpers started one by one while the work list
/// holds more than the threads already there can take, up to a most.
class CountCrew {
public:
    CountCrew(const LanguageRegistry& registry, MemoryBudget& ignoreBudget, WorkQueue<CountTask>& queue,
              unsigned mostThreads, bool filesMustBeRead)
        : registry_(registry), ignoreBudget_(ignoreBudget), queue_(queue), mostThreads_(mostThreads),
          filesMustBeRead_(filesMustBeRead) {
        workers_.push_back(newWorker());
    }

    /// Works with the calling thread until the list is done, then waits for the helpers.
    void run() {
        workers_.front()->run();
        // Helpers are only started for a task still unfinished, so none is started after this.
        std::vector<std::jthread> helpers;
        const std::lock_guard lock(mutex_);
        helpers.swap(helpers_);
    }

    const std::vector<std::unique_ptr<CountWorker>>& workers() const { return workers_; }

private:
    std::unique_ptr<CountWorker> newWorker() {
        return std::make_unique<CountWorker>(registry_, ignoreBudget_, queue_, mostThreads_, filesMustBeRead_,
                                             [this] { addHelper(); });
    }

    void addHelper() {
        const std::lock_guard lock(mutex_);
        if (workers_.size() < mostThreads_) {
            workers_.push_back(newWorker());
            helpers_.emplace_back([&worker = *workers_.back()] { worker.run(); });
        }
    }

    const LanguageRegistry& registry_;
    MemoryBudget& ignoreBudget_;
    WorkQueue<CountTask>& queue_;
    unsigned mostThreads_;
    bool filesMustBeRead_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<CountWorker>> workers_;
    std::vector<std::jthread> helpers_;
};

std::string lastPathPart(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<LanguageSummary> summarize(const LanguageRegistry& registry, const Tallies& tallies) {
    std::vector<LanguageSummary> rows;
    for (std::size_t language = 0; language < tallies.size(); ++language) {
        if (tallies[language].files > 0) {
            rows.push_back(LanguageSummary{std::string(registry.name(language)), tallies[language].files,
                                           tallies[language].counts});
        }
    }
    std::sort(rows.begin(), rows.end(), [](const LanguageSummary& left, const LanguageSummary& right) {
        return left.files != right.files ? left.files > right.files : left.name < right.name;
    });
    return rows;
}

/// Counts from `first` on: the folder asked for, or the file asked for, which must then be read.
Tallies countFrom(const LanguageRegistry& registry, CountTask first, unsigned threadCount,
                  std::size_t ignorePatternBytes, SkippedEntries& skipped) {
    const bool fileAskedFor = std::holds_alternative<std::vector<SourceFile>>(first);
    WorkQueue<CountTask> queue;
    queue.push(std::move(first));
    MemoryBudget ignoreBudget(ignorePatternBytes);
    CountCrew crew(registry, ignoreBudget, queue, threadCount, fileAskedFor);
    crew.run();
    Tallies total(registry.size());
    for (const auto& worker : crew.workers()) {
        if (worker->error()) {
            std::rethrow_exception(worker->error());
        }
        for (std::size_t language = 0; language < total.size(); ++language) {
            total[language].files += worker->tallies()[language].files;
            total[language].counts += worker->tallies()[language].counts;
        }
        skipped.merge(worker->skipped());
    }
    return total;
}

/// A count whose threads together held too many ignore patterns is counted again on one thread,
/// which holds a folder's patterns only with those of the folders above it: whether a tree's ignore
/// files fit does not depend on how the threads happened to share it.
Tallies countWithinBudget(const LanguageRegistry& registry, const CountTask& first, unsigned threadCount,
                          std::size_t ignorePatternBytes, SkippedEntries& skipped) {
    try {
        SkippedEntries skippedByAll;
        Tallies tallies = countFrom(registry, first, threadCount, ignorePatternBytes, skippedByAll);
        skipped = std::move(skippedByAll);
        return tallies;
    } catch (const MemoryBudget::Crowded&) {
        return countFrom(registry, first, 1, ignorePatternBytes, skipped);
    }
}

/// What `mode` names where it is neither a file nor a folder.
std::string kindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "something else";
}

/// The file asked for, counted even through a symbolic link; none when neither its name nor, for a
/// link such as /dev/stdin or /proc/self/fd/3, the name of the file it leads to tells a language.
std::vector<SourceFile> fileAskedFor(const LanguageRegistry& registry, const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> target(realpath(path.c_str(), nullptr), &std::free);
    if (!target) {
        return {};
    }
    const std::string names[] = {lastPathPart(path), lastPathPart(target.get())};
    for (const std::string& name : names) {
        if (const auto language = registry.find(name)) {
            return {SourceFile{target.get(), language}};
        }
    }
    if (std::any_of(std::begin(names), std::end(names), LanguageRegistry::mayBeScript)) {
        return {SourceFile{target.get(), std::nullopt}};
    }
    return {};
}

} // namespace

CodeCounter::CodeCounter(unsigned threadCount, std::size_t ignorePatternBytes)
    : threadCount_(threadCount != 0 ? threadCount : std::clamp(std::thread::hardware_concurrency(), 1U, kMostThreads)),
      ignorePatternBytes_(ignorePatternBytes) {}

CountReport CodeCounter::count(const std::string& path) const {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        throw std::system_error(errno, std::generic_category(), path);
    }
    // A pipe or a device holds no file's text: it may never end, or never begin.
    if (!S_ISDIR(status.st_mode) && !S_ISREG(status.st_mode)) {
        throw std::invalid_argument("cannot count " + quotedPath(path) + ": it is " + kindOf(status.st_mode) +
                                    ", not a file or a folder");
    }
    CountReport report;
    const CountTask first =
        S_ISDIR(status.st_mode) ? CountTask(FolderReader::root(path)) : fileAskedFor(registry_, path);
    const Tallies tallies = countWithinBudget(registry_, first, threadCount_, ignorePatternBytes_, report.skipped);
    report.rows = summarize(registry_, tallies);
    return report;
}

} // namespace norvane::counter
