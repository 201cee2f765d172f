// Adds a repository as a project to a new store in a temporary folder, then collects it as the
// daily agent would, ROUNDS times without a new commit and ROUNDS times after one new commit on its
// branch, then ROUNDS times without a new commit once one commit dated 2099, as a committer's broken
// clock dates it, is among them: prints the median time of each collection, the programs it ran,
// and the time its runs of git took. Goals: a quiet project runs one git process and the counter;
// after one new commit on a history of 12,000 commits the git work stays under 50 ms; a commit
// dated 2099 costs a quiet collection a second git process, which reads the commits of the days it
// leaves and joins, never the whole history. daily_collection.sh makes the repository.

#include "bench/support/ScratchStore.h"
#include "core/collection/Collector.h"
#include "platform/ProgramArguments.h"

#include "platform/ProcessRunner.h"
#include "platform/persistence/ModelContext.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

/// Runs programs for real and keeps how many of each ran and how long git took.
class TimingRunner final : public norvane::platform::ProcessRunner {
public:
    norvane::platform::ProcessResult run(const norvane::platform::ProcessRequest& request) override {
        const auto started = Clock::now();
        auto result = norvane::platform::defaultProcessRunner().run(request);
        const auto program = std::filesystem::path(request.executable).filename().string();
        ++programs[program];
        if (program == "git") gitTime += Clock::now() - started;
        return result;
    }
    void reset() {
        programs.clear();
        gitTime = {};
    }

    std::map<std::string, int> programs;
    Clock::duration gitTime{};
};

struct Round {
    double totalMs;
    double gitMs;
    std::string programs;
};

/// Commits one changed line, dated `committed` when one is given (as git reads GIT_COMMITTER_DATE).
void commitOneChange(const std::string& repository, int round, const std::string& committed = {}) {
    const auto file = std::filesystem::path(repository) / "bench_daily.c";
    const std::string line = "int daily_" + std::to_string(round) + " = 1;";
    const auto date = committed.empty() ? std::string() : "GIT_COMMITTER_DATE='" + committed + "' ";
    const auto command = "printf '%s\\n' '" + line + "' >> '" + file.string() + "' && git -C '" + repository +
                         "' add bench_daily.c && " + date + "git -C '" + repository +
                         "' -c user.name=Bench -c user.email=bench@example.com commit -q -m 'Daily change'";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("git commit failed");
}

Round collect(norvane::Collector& collector, const std::shared_ptr<norvane::Project>& project, TimingRunner& runner) {
    runner.reset();
    const auto started = Clock::now();
    const auto result = collector.collectOne(project);
    const double total = Milliseconds(Clock::now() - started).count();
    if (!result.isSuccess()) throw std::runtime_error(result.error->message);
    std::string programs;
    for (const auto& [program, count] : runner.programs) programs += program + " x" + std::to_string(count) + " ";
    return {total, Milliseconds(runner.gitTime).count(), programs};
}

void printMedian(const std::string& what, std::vector<Round> rounds) {
    const auto middle = rounds.size() / 2;
    std::nth_element(rounds.begin(), rounds.begin() + static_cast<long>(middle), rounds.end(),
                     [](const Round& a, const Round& b) { return a.gitMs < b.gitMs; });
    const double git = rounds[middle].gitMs;
    std::nth_element(rounds.begin(), rounds.begin() + static_cast<long>(middle), rounds.end(),
                     [](const Round& a, const Round& b) { return a.totalMs < b.totalMs; });
    std::cout << what << ": collection " << rounds[middle].totalMs << " ms, git " << git << " ms, ran "
              << rounds[middle].programs << "(medians of " << rounds.size() << ")\n";
}

int run(const std::string& repository, int rounds) {
    using namespace norvane;
    const bench::ScratchStore store(repository);
    const auto& project = store.project();
    TimingRunner runner;
    Collector collector(store.context(), SccService(SccLookup::standard(), runner), GitService(runner));
    const auto added = collector.collectInitialData(project);
    if (added.error) throw std::runtime_error(added.error->message);
    std::vector<Round> quiet;
    std::vector<Round> afterACommit;
    for (int round = 0; round < rounds; ++round) {
        quiet.push_back(collect(collector, project, runner));
        commitOneChange(repository, round);
        afterACommit.push_back(collect(collector, project, runner));
    }
    commitOneChange(repository, rounds, "2099-01-01T00:00:00+0000");
    collect(collector, project, runner);
    std::vector<Round> quietWithACommitAhead;
    for (int round = 0; round < rounds; ++round) quietWithACommitAhead.push_back(collect(collector, project, runner));
    std::cout << added.totalCommits << " commits\n";
    printMedian("no new commit", quiet);
    printMedian("one new commit", afterACommit);
    printMedian("no new commit, one dated 2099 among them", quietWithACommitAhead);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (const auto status = norvane::platform::ProgramArguments(
                                argc, argv, {"usage: norvane-bench-daily-collection REPOSITORY [ROUNDS]\n"})
                                .refusal(1, 2)) {
        return *status;
    }
    try {
        return run(argv[1], argc == 3 ? std::atoi(argv[2]) : 15);
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
}
