#include "counter/CodeCounter.h"

#include "counter/FileReader.h"
#include "counter/FolderReader.h"
#include "counter/WorkQueue.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <variant>

#include <sys/stat.h>

namespace norvane::counter {

namespace {

// Files per task: enough to keep the work list quiet, few enough to share a large folder.
constexpr std::ptrdiff_t kFilesPerTask = 16;
// How much of a file without an extension is read to see whether it begins with "#!".
constexpr std::size_t kScriptProbeLength = 4096;

struct Tally {
    std::int64_t files = 0;
    FileCounts counts;
};

using Tallies = std::vector<Tally>;
using CountTask = std::variant<FolderTask, std::vector<SourceFile>>;

/// Reads a file a window at a time: its first window tells whether it is text and its language.
/// `beforeLongRead` is called when the file is longer than one window, before reading on.
template <typename BeforeLongRead>
void countFile(const LanguageRegistry& registry, FileReader& reader, const SourceFile& file, Tallies& tallies,
               BeforeLongRead&& beforeLongRead) {
    auto reading = reader.open(file.path.c_str(), file.language ? FileReader::kWindowLength : kScriptProbeLength);
    if (!reading || (!file.language && !reading->window().starts_with("#!"))) {
        return;
    }
    const std::string_view first = reading->fill();
    if (FileReader::looksBinary(first)) {
        return;
    }
    const auto language = file.language ? registry.decide(*file.language, first) : registry.findByInterpreter(first);
    if (!language) {
        return;
    }
    if (!reading->atEnd()) {
        beforeLongRead();
    }
    const FileCounts counts = registry.scanner(*language).scan(first, *reading);
    Tally& tally = tallies[*language];
    ++tally.files;
    tally.counts += counts;
}

/// One thread's share of the work: its own read buffer and its own sums, merged at the end.
/// `askForHelp` is called when the work list holds more than the threads there can take.
class CountWorker {
public:
    CountWorker(const LanguageRegistry& registry, MemoryBudget& ignoreBudget, WorkQueue<CountTask>& queue,
                std::function<void()> askForHelp)
        : registry_(registry), folderReader_(registry, ignoreBudget), queue_(queue), tallies_(registry.size()),
          askForHelp_(std::move(askForHelp)) {}

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
        try {
            folderReader_.read(folder, reader_, folders_, files_, skipped_);
        } catch (const std::system_error& error) {
            // The folder asked for must be read; one below it that cannot be is left out.
            if (folder.baseLength == 0) {
                throw;
            }
            skipped_.addFolder(folder.path, error);
            return;
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
                // A long file keeps this thread busy: the files after it go to the others.
                countFile(registry_, reader_, files[index], tallies_, [&] { handOut(files, index + 1); });
            } catch (const std::system_error& error) {
                skipped_.addFile(files[index].path, error);
            }
        }
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
    std::function<void()> askForHelp_;
};

/// The threads of one count: the calling one, and helpers started one by one while the work list
/// holds more than the threads already there can take, up to a most.
class CountCrew {
public:
    CountCrew(const LanguageRegistry& registry, MemoryBudget& ignoreBudget, WorkQueue<CountTask>& queue,
              unsigned mostThreads)
        : registry_(registry), ignoreBudget_(ignoreBudget), queue_(queue), mostThreads_(mostThreads) {
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
        return std::make_unique<CountWorker>(registry_, ignoreBudget_, queue_, [this] { addHelper(); });
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

Tallies countSingleFile(const LanguageRegistry& registry, const std::string& path) {
    Tallies tallies(registry.size());
    // A file named on the command line is counted even through a symbolic link.
    const std::unique_ptr<char, decltype(&std::free)> target(realpath(path.c_str(), nullptr), &std::free);
    const std::string name = lastPathPart(path);
    const auto language = registry.find(name);
    if (target && (language || LanguageRegistry::mayBeScript(name))) {
        FileReader reader;
        countFile(registry, reader, SourceFile{target.get(), language}, tallies, [] {});
    }
    return tallies;
}

Tallies countTree(const LanguageRegistry& registry, const std::string& path, unsigned threadCount,
                  std::size_t ignorePatternBytes, SkippedEntries& skipped) {
    WorkQueue<CountTask> queue;
    queue.push(FolderReader::root(path));
    MemoryBudget ignoreBudget(ignorePatternBytes);
    CountCrew crew(registry, ignoreBudget, queue, threadCount);
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

} // namespace

CodeCounter::CodeCounter(unsigned threadCount, std::size_t ignorePatternBytes)
    : threadCount_(threadCount != 0 ? threadCount : std::clamp(std::thread::hardware_concurrency(), 1U, kMostThreads)),
      ignorePatternBytes_(ignorePatternBytes) {}

CountReport CodeCounter::count(const std::string& path) const {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        throw std::system_error(errno, std::generic_category(), path);
    }
    CountReport report;
    const Tallies tallies = S_ISDIR(status.st_mode)
                                ? countTree(registry_, path, threadCount_, ignorePatternBytes_, report.skipped)
                                : countSingleFile(registry_, path);
    report.rows = summarize(registry_, tallies);
    return report;
}

} // namespace norvane::counter
