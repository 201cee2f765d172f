#include "core/models/AppSettings.h"
#include "core/models/DailyActivity.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/Snapshot.h"

#include "tests/core/collection/DailyRowsFixture.h"

#include "platform/ProcessRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

namespace norvane {
namespace {

using namespace std::chrono_literals;

/// Drives a repository through weeks of git as people use it (commits, branches, merges, squash
/// merges, rebases, amends, resets, old patches, a clock ahead, zone changes, back-dated work behind
/// a tip that is then left behind, wage changes, an old history grafted under the root, attributes
/// that mark files binary, git moving its files elsewhere, a collection whose own clock is wrong,
/// the folder moved with a link left where it was, orphan branches, a new repository in the
/// folder), collecting on most days with a pinned clock, in some walks from an add right after
/// `git init`. After every collection the rows, their prices and the velocity baseline must equal a
/// fresh import's, made alongside in a store of its own that has seen the same collections'
/// moments, and the rows git's own count, with each commit dated after the collection's moment on
/// its day.
class DailyRowsWalk : public testing::DailyRowsFixture {
protected:
    void walk(unsigned seed) {
        random_.seed(seed);
        seed_ = seed;
        clock.advance(testing::localDate(2025, 10, 20, 8) - clock.now());
        if (seed % 4 == 0) {
            note("added right after git init");
            collectAndCompare();
            if (pick(0, 1) == 0) moveWithLink();
        }
        // A history begun weeks before, so that the velocity baseline is set along the way.
        const auto file = "f" + std::to_string(files_++) + ".c";
        owner_[file] = current_;
        root_ = commitLines(file, pick(1, 30), clock.now() - std::chrono::hours(24 * pick(35, 75)));
        newFile(1);
        const int days = 30 + static_cast<int>(seed % 31);
        for (int day = 0; day < days && !::testing::Test::HasFailure(); ++day) {
            clock.advance(startOfDayAfter(clock.now()) + 8h - clock.now());
            const int operations = pick(0, 4);
            for (int operation = 0; operation < operations; ++operation) {
                clock.advance(std::chrono::minutes(pick(20, 150)));
                act();
            }
            const int collections = pick(0, 9) < 2 ? 0 : (pick(0, 9) < 3 ? 2 : 1);
            for (int collection = 0; collection < collections && !::testing::Test::HasFailure(); ++collection) {
                clock.advance(std::chrono::minutes(pick(10, 120)));
                collectAndCompare();
            }
        }
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    static platform::Date startOfDayAfter(platform::Date moment) {
        return platform::LocalCalendar::startOfDay(platform::LocalCalendar::addingDays(moment, 1));
    }

    void note(const std::string& step) { steps_.push_back(platform::Iso8601::format(clock.now()) + " " + step); }

    /// Runs git where a step may rightly fail (a conflict); an interrupted merge or rebase is undone.
    bool tryGit(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(),
                         {"-C", repository.pathString(), "-c", "user.name=Ann", "-c", "user.email=ann@example.com"});
        const auto now = testing::gitDate(clock.now());
        return platform::defaultProcessRunner()
            .run({.executable = "/usr/bin/git",
                  .arguments = arguments,
                  .environmentOverrides = {{"GIT_AUTHOR_DATE", now}, {"GIT_COMMITTER_DATE", now}}})
            .succeeded();
    }

    std::string head() {
        auto hash = repository.git({"rev-parse", "HEAD"});
        hash.pop_back();
        return hash;
    }

    bool hasParent() { return tryGit({"rev-parse", "-q", "--verify", "HEAD~1"}); }

    void act() {
        if (unborn_) return firstCommitOnBranch();
        if (backDated_ && collectedSince_) return mergeFromBeforeTheBackDatedWork();
        const int roll = pick(0, 106);
        if (roll < 2) return wrongClockForTheNextCollection();
        if (roll < 34) return commit();
        if (roll < 41) return newBranch();
        if (roll < 50) return switchBranch();
        if (roll < 57) return merge();
        if (roll < 61) return squash();
        if (roll < 67) return rebase();
        if (roll < 71) return amend();
        if (roll < 75) return reset();
        if (roll < 79) return applyOldPatch();
        if (roll < 82) return commitFromAClockAhead();
        if (roll < 86) return deleteBranch();
        if (roll < 89) return detach();
        if (roll < 91) return changeZone();
        if (roll < 93) return changeWage();
        if (roll < 95) return graftOrUngraft();
        if (roll < 96) return markBinary();
        if (roll < 97) return moveGitFolder();
        if (roll < 100) return commitBackDatedWork();
        if (roll < 103) return moveWithLink();
        if (roll < 105) return orphanCheckout();
        newRepository();
    }

    void newFile(int lines) {
        const auto file = "f" + std::to_string(files_++) + ".c";
        owner_[file] = current_;
        commitLines(file, lines);
    }

    /// A new file, or one that this branch made and still holds: no other branch changes it, so
    /// that merges and rebases meet no conflict of the walk's own making.
    void commit() {
        std::vector<std::string> own;
        for (const auto& [file, branch] : owner_) {
            if (branch == current_ && !current_.empty() && std::filesystem::exists(repository.path() / file)) {
                own.push_back(file);
            }
        }
        const int lines = pick(1, 30);
        if (own.empty() || pick(0, 1) == 0) {
            note("commit of a new file, " + std::to_string(lines) + " lines");
            return newFile(lines);
        }
        const auto& file = own[static_cast<std::size_t>(pick(0, static_cast<int>(own.size()) - 1))];
        note("commit rewriting " + file + " with " + std::to_string(lines) + " lines");
        commitLines(file, lines);
    }

    void newBranch() {
        if (branches_.size() >= 6) return commit();
        const auto name = "b" + std::to_string(files_++);
        note("new branch " + name);
        git({"checkout", "-q", "-b", name});
        branches_.push_back(name);
        current_ = name;
    }

    std::optional<std::string> otherBranch() {
        std::vector<std::string> others;
        for (const auto& branch : branches_) {
            if (branch != current_) others.push_back(branch);
        }
        if (others.empty()) return std::nullopt;
        return others[static_cast<std::size_t>(pick(0, static_cast<int>(others.size()) - 1))];
    }

    void switchBranch() {
        if (const auto other = otherBranch()) {
            note("checkout " + *other);
            git({"checkout", "-q", *other});
            current_ = *other;
        }
    }

    void merge() {
        const auto other = otherBranch();
        if (current_.empty() || !other) return;
        const bool fastForward = pick(0, 1) == 0;
        note(std::string(fastForward ? "merge " : "merge --no-ff ") + *other);
        if (!tryGit({"merge", "-q", "--no-edit", fastForward ? "--ff" : "--no-ff", *other})) {
            tryGit({"merge", "--abort"});
            note("(merge undone)");
        }
    }

    void squash() {
        const auto other = otherBranch();
        if (current_.empty() || !other || *other == "main") return;
        note("squash merge of " + *other + ", which is then deleted");
        if (!tryGit({"merge", "-q", "--squash", *other}) ||
            !tryGit({"commit", "-q", "--allow-empty", "-m", "squash"})) {
            tryGit({"reset", "-q", "--hard", "HEAD"});
            note("(squash undone)");
            return;
        }
        git({"branch", "-q", "-D", *other});
        std::erase(branches_, *other);
    }

    void rebase() {
        const auto other = otherBranch();
        if (current_.empty() || !other) return;
        note("rebase " + current_ + " onto " + *other);
        if (!tryGit({"rebase", "-q", *other})) {
            tryGit({"rebase", "--abort"});
            note("(rebase undone)");
        }
    }

    void amend() {
        if (!hasParent() || current_.empty()) return;
        const auto file = "f" + std::to_string(files_++) + ".c";
        owner_[file] = current_;
        note("amend with " + file);
        repository.writeFile(file, "int amended" + std::to_string(files_) + ";\n");
        git({"add", "-A"});
        git({"commit", "-q", "--amend", "--no-edit"});
    }

    void reset() {
        if (!hasParent()) return;
        note("reset --hard HEAD~1");
        git({"reset", "-q", "--hard", "HEAD~1"});
    }

    void applyOldPatch() {
        if (current_.empty()) return;
        const auto base = head();
        const auto file = "f" + std::to_string(files_++) + ".c";
        owner_[file] = "";
        const auto written = clock.now() - std::chrono::hours(24 * pick(1, 20));
        note("am --committer-date-is-author-date of a patch written " + platform::Iso8601::format(written));
        git({"checkout", "-q", "--detach"});
        commitLines(file, pick(1, 20), written);
        const auto patch = git({"format-patch", "-1", "--stdout"});
        git({"checkout", "-q", current_});
        repository.git(
            {"-c", "user.name=Ann", "-c", "user.email=ann@example.com", "am", "-q", "--committer-date-is-author-date"},
            {}, patch);
        EXPECT_NE(head(), base);
    }

    /// Hours or days ahead, or decades, as a committer's broken clock dates it.
    void commitFromAClockAhead() {
        const auto ahead = pick(0, 3) == 0 ? testing::localDate(2099, 1, 1, pick(0, 23))
                                           : clock.now() + std::chrono::hours(pick(2, 72));
        const auto file = "f" + std::to_string(files_++) + ".c";
        owner_[file] = current_;
        note("commit dated ahead, at " + platform::Iso8601::format(ahead));
        commitLines(file, pick(1, 10), ahead);
    }

    void deleteBranch() {
        const auto other = otherBranch();
        if (!other || *other == "main") return;
        note("branch -D " + *other);
        git({"branch", "-q", "-D", *other});
        std::erase(branches_, *other);
    }

    void detach() {
        if (!hasParent()) return;
        note("checkout --detach HEAD~1");
        git({"checkout", "-q", "--detach", "HEAD~1"});
        current_.clear();
    }

    void changeZone() {
        static const char* const zones[] = {"Europe/Berlin",     "America/New_York",   "Asia/Tokyo",
                                            "Pacific/Pago_Pago", "Pacific/Kiritimati", "UTC"};
        const auto* zone = zones[pick(0, 5)];
        note(std::string("time zone ") + zone);
        zone_.reset();
        zone_.emplace(zone);
    }

    /// Six or more commits dated before the work they build on: git's walk from a later merge of
    /// that work, with this tip left behind, meets the earlier commits before the dates lead it
    /// here, and lists them again.
    void commitBackDatedWork() {
        if (current_.empty()) return commit();
        backDated_ = {head(), current_};
        collectedSince_ = false;
        const int count = pick(6, 9);
        note("commit " + std::to_string(count) + " back-dated commits on " + current_);
        const auto first = clock.now() - std::chrono::hours(24 * pick(8, 25));
        for (int index = 0; index < count; ++index) {
            const auto file = "f" + std::to_string(files_++) + ".c";
            owner_[file] = current_;
            commitLines(file, pick(1, 5), first + std::chrono::hours(index));
        }
    }

    void mergeFromBeforeTheBackDatedWork() {
        const auto [base, branch] = *std::exchange(backDated_, std::nullopt);
        const std::set<std::string> branches(branches_.begin(), branches_.end());
        if (!branches.contains(branch) || !tryGit({"merge-base", "--is-ancestor", base, branch})) return;
        note("merge into " + branch + " of work begun before its back-dated commits");
        git({"checkout", "-q", "-b", "from-before", base});
        const auto file = "f" + std::to_string(files_++) + ".c";
        owner_[file] = branch;
        commitLines(file, pick(1, 10));
        git({"checkout", "-q", branch});
        current_ = branch;
        if (!tryGit({"merge", "-q", "--no-ff", "--no-edit", "from-before"})) {
            tryGit({"merge", "--abort"});
            note("(merge undone)");
        }
        git({"branch", "-q", "-D", "from-before"});
    }

    /// The same wage in both stores, as the settings are one for all the projects of a store.
    void changeWage() {
        const double wage = 60000.0 + 10000.0 * pick(0, 20);
        note("wage " + std::to_string(static_cast<int>(wage)));
        for (const auto& store : {context, twinContext_}) {
            auto settings = store->fetch<AppSettings>();
            if (settings.empty()) store->insert(settings.emplace_back(AppSettings::defaults()));
            settings.front()->averageWage = wage;
            store->save();
        }
    }

    /// An old history, on no branch, grafted under the first commit, or the graft taken away.
    void graftOrUngraft() {
        if (grafted_) {
            note("replacement of the root taken away");
            git({"replace", "-d", root_});
            grafted_ = false;
            return;
        }
        if (!tryGit({"rev-parse", "-q", "--verify", "refs/old/main"})) makeOldHistory();
        note("old history grafted under the root");
        git({"replace", "--graft", root_, "refs/old/main"});
        grafted_ = true;
    }

    void makeOldHistory() {
        std::string parent;
        for (int index = 0; index < 3; ++index) {
            // Lines unlike any other file's, so that git sees no rename among them.
            std::string text;
            for (int line = pick(1, 40); line > 0; --line) text += "int old" + std::to_string(linesWritten++) + ";\n";
            auto blob = git({"hash-object", "-w", "--stdin"}, text);
            blob.pop_back();
            auto tree = git({"mktree"}, "100644 blob " + blob + "\told" + std::to_string(index) + ".c\n");
            tree.pop_back();
            const auto when = testing::gitDate(clock.now() - std::chrono::hours(24 * (120 - 5 * index)));
            std::vector<std::string> arguments{
                "-c", "user.name=Old", "-c", "user.email=old@example.com", "commit-tree", tree, "-m", "old"};
            if (!parent.empty()) arguments.insert(arguments.end(), {"-p", parent});
            parent = repository.git(arguments, {{"GIT_AUTHOR_DATE", when}, {"GIT_COMMITTER_DATE", when}});
            parent.pop_back();
        }
        git({"update-ref", "refs/old/main", parent});
    }

    /// Git moves its files elsewhere, as `git init --separate-git-dir` does, and leaves a .git file
    /// naming the new place: the work tree, and with it the project's repository, stays.
    void moveGitFolder() {
        const auto place = gitFolders_.path() / std::to_string(gitMoves_++);
        note("git folder moved to " + place.string());
        ASSERT_TRUE(tryGit({"init", "-q", "--separate-git-dir", place.string()}));
    }

    /// The folder moves elsewhere, and a link is left where it was made (or re-pointed, once it moved).
    void moveWithLink() {
        const auto place = places_.path() / std::to_string(moves_++);
        note("folder moved to " + place.string() + ", a link left where it was");
        repository.moveWithLink(place);
    }

    /// A branch without history, its files kept; half the time the other branches are deleted, as in
    /// a clone of a detached HEAD, which has none, so that nothing is reachable until its first commit.
    void orphanCheckout() {
        const auto name = "o" + std::to_string(files_++);
        const bool alone = pick(0, 1) == 0;
        note("checkout --orphan " + name + (alone ? ", every other branch deleted" : ""));
        git({"checkout", "-q", "--orphan", name});
        if (alone) {
            for (const auto& branch : branches_) git({"branch", "-q", "-D", branch});
            branches_.clear();
        }
        current_ = name;
        unborn_ = true;
    }

    /// The folder's .git removed and a new repository made in it, its files kept.
    void newRepository() {
        note("a new repository in the folder");
        std::filesystem::remove_all(repository.path() / ".git");
        git({"init", "-q", "-b", "main"});
        branches_.clear();
        current_ = "main";
        for (auto& [file, branch] : owner_) branch = current_;
        root_.clear();
        grafted_ = false;
        backDated_.reset();
        unborn_ = true;
    }

    /// The first commit of a branch checked out without any.
    void firstCommitOnBranch() {
        unborn_ = false;
        branches_.push_back(current_);
        commit();
        if (root_.empty()) root_ = head();
    }

    /// Attributes that make files count no lines: committed on a branch, or the repository's own.
    void markBinary() {
        std::vector<std::string> marked;
        for (const auto& [file, branch] : owner_) {
            if (pick(0, 3) == 0) marked.push_back(file + " -diff");
        }
        std::string text;
        for (const auto& line : marked) text += line + "\n";
        if (current_.empty() || pick(0, 3) == 0) {
            note("info/attributes marking " + std::to_string(marked.size()) + " files");
            auto attributes = repository.git({"rev-parse", "--path-format=absolute", "--git-path", "info/attributes"});
            attributes.pop_back();
            std::filesystem::create_directories(std::filesystem::path(attributes).parent_path());
            std::ofstream(attributes) << text;
            return;
        }
        note(".gitattributes marking " + std::to_string(marked.size()) + " files");
        repository.writeFile(".gitattributes", text);
        git({"add", ".gitattributes"});
        git({"commit", "-q", "--allow-empty", "-m", "attributes"});
    }

    /// The next collection's clock is wrong: far behind, as with a dead battery, a few days behind,
    /// as in a restored machine, or ahead by a day or for weeks.
    void wrongClockForTheNextCollection() {
        const auto right = clock.now();
        const platform::Date wrong[] = {testing::localDate(2000, 1, 1, 12), right - std::chrono::hours(24 * 3),
                                        right + std::chrono::hours(24), right + std::chrono::hours(24 * 21)};
        wrongClock_ = wrong[pick(0, 3)] - right;
        note("the next collection's clock reads " + platform::Iso8601::format(right + *wrongClock_));
    }

    static std::optional<platform::Date> later(std::optional<platform::Date> first, platform::Date second) {
        return std::max(first.value_or(second), second);
    }

    /// The moment a collection at `now` books at, and until when its bookings hold, by the rule: a
    /// clock that reads earlier than a moment an earlier collection saw (or booked for now only
    /// until) books for now only, at its own moment, or at the latest count when it reads earlier
    /// than every count.
    std::pair<platform::Date, std::optional<platform::Date>> momentOfACollectionAt(platform::Date now) {
        std::optional<platform::Date> latestCount;
        for (const auto count : counts_) latestCount = later(latestCount, count);
        auto latest = provisionalUntil_ ? later(latestCount, *provisionalUntil_) : latestCount;
        std::optional<platform::Date> until;
        auto moment = now;
        if (latest && now < *latest) {
            until = latest;
            const bool countBefore =
                std::any_of(counts_.begin(), counts_.end(), [now](auto count) { return count <= now; });
            if (latestCount && !countBefore) moment = *latestCount;
        }
        return {moment, until};
    }

    /// What the collection at `moment` leaves of its clock: its count, no count dated after it, and
    /// until when its bookings hold.
    void noteCollectionAt(platform::Date moment, std::optional<platform::Date> until) {
        for (auto& count : counts_) count = std::min(count, moment - std::chrono::microseconds(1));
        counts_.push_back(moment);
        provisionalUntil_ = until;
        for (const auto& count : twinContext_->fetch<Snapshot>({.predicate = SnapshotField::capturedAt > moment})) {
            count->capturedAt = moment - std::chrono::microseconds(1);
        }
        auto twinCount = Snapshot::create(twin_);
        twinCount->capturedAt = moment;
        twinContext_->insert(twinCount);
        twinContext_->save();
    }

    /// What git shows of the commits HEAD and the branches reach: each one's committer date.
    std::map<std::string, platform::Date> reachable() {
        std::map<std::string, platform::Date> commits;
        std::istringstream lines(repository.git({"log", "--format=%H %ct", "--ignore-missing", "--branches", "HEAD"}));
        for (std::string line; std::getline(lines, line);) {
            commits[line.substr(0, line.find(' '))] =
                platform::Date(std::chrono::seconds(std::stoll(line.substr(line.find(' ') + 1))));
        }
        return commits;
    }

    void collectAndCompare() {
        note("collect");
        const auto right = clock.now();
        const auto now = right + wrongClock_.value_or(std::chrono::microseconds(0));
        wrongClock_.reset();
        const auto commits = reachable();
        const auto [moment, until] = momentOfACollectionAt(now);
        std::map<std::string, platform::Date> bookedOn;
        for (const auto& [hash, committedAt] : commits) bookedOn[hash] = std::min(committedAt, moment);
        const auto expected = gitDays(bookedOn);
        collectAt(now);
        collectedSince_ = true;
        ASSERT_FALSE(::testing::Test::HasFatalFailure()) << trail();
        const auto imported = importer_.collectHistory(twin_, 7);
        clock.advance(right - clock.now());
        noteCollectionAt(moment, until);
        ASSERT_FALSE(imported.error) << imported.error->message << trail();
        EXPECT_EQ(storedDays(), expected) << "rows:\n"
                                          << testing::describe(storedDays()) << "git:\n"
                                          << testing::describe(expected) << trail();
        EXPECT_EQ(twinDays(), expected) << "a fresh import:\n" << testing::describe(twinDays()) << trail();
        EXPECT_EQ(prices(container), prices(twinStore_)) << "the rows' effort and cost" << trail();
        EXPECT_EQ(project->baselineVelocity, twin_->baselineVelocity) << "the velocity baseline" << trail();
    }

    testing::DayTable twinDays() {
        testing::DayTable days;
        for (const auto& row : platform::ModelContext(twinStore_).fetch<DailyActivity>()) {
            days[row->date] = {row->commitCount, row->totalInsertions, row->totalDeletions, row->filesChanged,
                               row->codeLinesInserted};
        }
        return days;
    }

    /// Each row's effort and cost, by its day.
    static std::map<platform::Date, std::pair<double, double>>
    prices(const std::shared_ptr<platform::ModelContainer>& store) {
        std::map<platform::Date, std::pair<double, double>> days;
        for (const auto& row : platform::ModelContext(store).fetch<DailyActivity>()) {
            days[row->date] = {row->estimatedEffortMonths, row->estimatedCost};
        }
        return days;
    }

    std::string trail() const {
        std::string text = "\nseed " + std::to_string(seed_) + ", after " + std::to_string(steps_.size()) + " steps:\n";
        for (auto step = steps_.size() > 25 ? steps_.end() - 25 : steps_.begin(); step != steps_.end(); ++step) {
            text += "  " + *step + "\n";
        }
        return text;
    }

    std::mt19937 random_;
    unsigned seed_ = 0;
    std::vector<std::string> steps_;
    std::string current_ = "main"; ///< empty on a detached HEAD
    std::vector<std::string> branches_{"main"};
    std::map<std::string, std::string> owner_;
    /// How far the next collection's clock is off.
    std::optional<std::chrono::microseconds> wrongClock_;
    /// The dates of the collections' code counts, and until when their bookings hold, as the rule
    /// for a clock that reads earlier than an earlier collection's leaves them.
    std::vector<platform::Date> counts_;
    std::optional<platform::Date> provisionalUntil_;
    int files_ = 0;
    std::string root_;
    bool grafted_ = false;
    /// The commit that back-dated work was begun on, and its branch, until work from it is merged.
    std::optional<std::pair<std::string, std::string>> backDated_;
    bool collectedSince_ = false;
    /// Where git keeps the repository's files once they moved.
    testing::TemporaryFolder gitFolders_;
    int gitMoves_ = 0;
    /// Where the folder went once it moved.
    testing::TemporaryFolder places_;
    int moves_ = 0;
    /// HEAD names a branch without commits (an orphan one, a new repository's): the next step commits.
    bool unborn_ = false;
    std::optional<testing::ScopedTimeZone> zone_;
    std::shared_ptr<platform::ModelContainer> twinStore_ = NorvaneDatabase::makeInMemoryContainer();
    std::shared_ptr<platform::ModelContext> twinContext_ = std::make_shared<platform::ModelContext>(twinStore_);
    Collector importer_{twinContext_, SccService(testing::builtInCounterOnly()), GitService(), clock.clock()};
    std::shared_ptr<Project> twin_ = [this] {
        auto twin = Project::create("twin", repository.pathString(), std::nullopt, ProjectType::organic);
        twinContext_->insert(twin);
        twinContext_->save();
        return twin;
    }();
};

/// Seeds to walk: NORVANE_WALK_SEEDS (such as "1-200" or "7,9") explores more.
std::vector<unsigned> seeds() {
    const char* chosen = std::getenv("NORVANE_WALK_SEEDS");
    std::string text = chosen ? chosen : "1-3";
    std::vector<unsigned> list;
    std::istringstream parts(text);
    for (std::string part; std::getline(parts, part, ',');) {
        const auto dash = part.find('-');
        const auto from = static_cast<unsigned>(std::stoul(part.substr(0, dash)));
        const auto to = dash == std::string::npos ? from : static_cast<unsigned>(std::stoul(part.substr(dash + 1)));
        for (auto seed = from; seed <= to; ++seed) list.push_back(seed);
    }
    return list;
}

class SeededWalk : public DailyRowsWalk, public ::testing::WithParamInterface<unsigned> {};

TEST_P(SeededWalk, RowsEqualAFreshImportAndGitAfterEveryCollection) { walk(GetParam()); }

INSTANTIATE_TEST_SUITE_P(DailyRows, SeededWalk, ::testing::ValuesIn(seeds()));

} // namespace
} // namespace norvane
