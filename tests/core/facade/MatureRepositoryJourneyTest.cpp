// A repository with two years of history, added and imported as a new user would, then read as the
// pages read it: every figure is compared with one worked out from a plain `git log`.

#include "core/analytics/StreakCalculator.h"
#include "core/facade/NorvaneKit.h"
#include "core/models/DailyActivity.h"
#include "core/models/DailyPortfolioSnapshot.h"
#include "core/models/NorvaneDatabase.h"

#include "tests/core/collection/CollectionFixture.h"

#include "platform/Iso8601.h"
#include "platform/LocalCalendar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

namespace norvane {
namespace {

using platform::Date;
using platform::LocalCalendar::addingDays;
using platform::LocalCalendar::startOfDay;
using testing::GitTestRepository;
using namespace std::chrono_literals;

/// One commit as a plain `git log --numstat` prints it, with git's own rename detection.
struct LoggedCommit {
    Date authoredAt;
    Date committedAt;
    struct Change {
        std::int64_t insertions;
        std::int64_t deletions;
        std::string path;
    };
    std::vector<Change> changes;
};

/// The new path of a numstat path that may read "a => b" or "dir/{a => b}/file".
std::string newPath(const std::string& printed) {
    const auto arrow = printed.find(" => ");
    if (arrow == std::string::npos) return printed;
    const auto open = printed.rfind('{', arrow);
    if (open == std::string::npos) return printed.substr(arrow + 4);
    const auto close = printed.find('}', arrow);
    auto path = printed.substr(0, open) + printed.substr(arrow + 4, close - arrow - 4) + printed.substr(close + 1);
    if (const auto doubled = path.find("//"); doubled != std::string::npos) path.erase(doubled, 1);
    return path;
}

std::vector<LoggedCommit> plainGitLog(const GitTestRepository& repository) {
    std::vector<LoggedCommit> commits;
    std::istringstream lines(repository.git({"log", "--numstat", "--format=@%aI %cI"}));
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("@")) {
            commits.push_back({*platform::Iso8601::parse(line.substr(1, line.find(' ') - 1)),
                               *platform::Iso8601::parse(line.substr(line.find(' ') + 1)),
                               {}});
        } else if (const auto tab = line.find('\t'); tab != std::string::npos) {
            const auto second = line.find('\t', tab + 1);
            commits.back().changes.push_back({std::stoll(line.substr(0, tab)),
                                              std::stoll(line.substr(tab + 1, second - tab - 1)),
                                              newPath(line.substr(second + 1))});
        }
    }
    return commits;
}

/// The test's own layout: docs/, tests/ and config/ hold their categories, everything else is code.
OutputCategory categoryOf(const std::string& path) {
    if (path.starts_with("docs/")) return OutputCategory::docs;
    if (path.starts_with("tests/")) return OutputCategory::tests;
    if (path.starts_with("config/")) return OutputCategory::config;
    return OutputCategory::code;
}

struct ExpectedDay {
    std::int64_t commits = 0;
    std::int64_t insertions = 0;
    std::int64_t deletions = 0;
    std::map<OutputCategory, std::pair<std::int64_t, std::int64_t>> categories;
    std::set<std::string> files;

    std::int64_t codeChanged() const {
        const auto code = categories.find(OutputCategory::code);
        return code == categories.end() ? 0 : code->second.first + code->second.second;
    }
};

double organicEffort(std::int64_t lines) { return 2.4 * std::pow(static_cast<double>(lines) / 1000.0, 1.05); }

/// A history written through one `git fast-import`: far quicker than a commit command each.
class HistoryStream {
public:
    void change(const std::string& path, const std::string& text) {
        pending_ += "M 100644 inline " + path + "\n" + data(text);
    }
    void rename(const std::string& from, const std::string& to) { pending_ += "R " + from + " " + to + "\n"; }

    /// Commits the pending changes on top of `branch`, or of `from`; `merged` becomes a second
    /// parent. Returns the commit's mark.
    int commit(const std::string& branch, Date authored, Date committed, std::optional<int> from = std::nullopt,
               std::optional<int> merged = std::nullopt) {
        const auto mark = std::to_string(++marks_);
        stream_ += "commit refs/heads/" + branch + "\nmark :" + mark + "\n";
        stream_ += "author Ann <ann@example.com> " + seconds(authored) + " +0000\n";
        stream_ += "committer Ann <ann@example.com> " + seconds(committed) + " +0000\n" + data("work " + mark);
        if (from) stream_ += "from :" + std::to_string(*from) + "\n";
        if (merged) stream_ += "merge :" + std::to_string(*merged) + "\n";
        stream_ += pending_;
        pending_.clear();
        return marks_;
    }

    void writeInto(const GitTestRepository& repository) const {
        repository.git({"fast-import", "--quiet"}, {}, stream_);
        repository.git({"reset", "-q", "--hard"});
    }

private:
    static std::string data(const std::string& text) {
        return "data " + std::to_string(text.size()) + "\n" + text + "\n";
    }
    static std::string seconds(Date date) {
        return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(date.time_since_epoch()).count());
    }

    std::string stream_;
    std::string pending_;
    int marks_ = 0;
};

class MatureRepositoryJourney : public testing::CollectionFixture {
protected:
    Date day(int offset, std::chrono::minutes at = 12h) const { return addingDays(today, offset) + at; }

    static std::string text(int lines, int seed) {
        std::string result;
        for (int line = 0; line < lines; ++line) {
            result += "value_" + std::to_string(line) + " = " + std::to_string((seed * 7 + line) % 5) + ";\n";
        }
        return result;
    }

    /// Two years of work every 12 days on main, a side branch written a year ago but rebased and
    /// merged 4 months ago, two renames, a 14-day run of daily work committed late, the last 9
    /// days every day, and a commit from a clock 800 days ahead.
    void makeHistory() {
        HistoryStream history;
        history.change("src/legacy.c", text(120, 0));
        std::optional<int> sideTip;
        for (int round = 0; round <= 60; ++round) {
            history.change("src/module_" + std::to_string(round % 6) + ".c", text(10 + round, round));
            if (round % 4 == 0) history.change("docs/guide.md", text(5 + round, round));
            if (round % 5 == 0) history.change("tests/module_test.c", text(8 + round % 9, round));
            if (round % 7 == 0) history.change("config/settings.json", text(3 + round % 4, round));
            if (round == 20) {
                history.rename("src/legacy.c", "src/core/legacy.c");
                history.change("src/core/legacy.c", text(121, 0));
            }
            if (round == 40) history.rename("docs/guide.md", "docs/manual.md");
            const auto when = day(-730 + 12 * round);
            const auto mark = history.commit("main", when, when);
            if (round == 30) sideTip = writeSideBranch(history, mark);
            if (round == 51) {
                // The merge's tree holds the branch's files; like git, it has no diff of its own.
                for (int step = 0; step < 4; ++step) history.change(featureFile(step), text(60 + step, step));
                history.commit("main", when + 1h, when + 1h, std::nullopt, sideTip);
            }
        }
        for (int offset = -200; offset < -186; ++offset) {
            history.change("src/streak.c", text(20 + offset % 7, offset));
            history.commit("main", day(offset, 15h), day(offset, 15h));
        }
        for (int offset = -9; offset <= 0; ++offset) {
            history.change("src/recent.c", text(30 + offset, offset));
            history.commit("main", day(offset, 9h), day(offset, 9h));
        }
        history.change("src/future.c", text(40, 1));
        history.commit("main", day(800), day(800));
        history.writeInto(repository);
    }

    static std::string featureFile(int step) { return "src/feature_" + std::to_string(step) + ".c"; }

    /// Written a year ago, rebased four months ago: old author dates, late committer dates.
    int writeSideBranch(HistoryStream& history, int base) const {
        int tip = base;
        for (int step = 0; step < 4; ++step) {
            history.change(featureFile(step), text(60 + step, step));
            tip = history.commit("side", day(-365 + 5 * step), day(-120, 10h),
                                 step == 0 ? std::optional(base) : std::nullopt);
        }
        return tip;
    }

    /// The days as the daily rows must count them: by committer date, a date ahead on today.
    std::map<Date, ExpectedDay> expectedDays(const std::vector<LoggedCommit>& commits) const {
        std::map<Date, ExpectedDay> days;
        for (const auto& commit : commits) {
            auto& expected = days[startOfDay(std::min(commit.committedAt, now))];
            ++expected.commits;
            for (const auto& change : commit.changes) {
                expected.insertions += change.insertions;
                expected.deletions += change.deletions;
                auto& [inserted, deleted] = expected.categories[categoryOf(change.path)];
                inserted += change.insertions;
                deleted += change.deletions;
                expected.files.insert(change.path);
            }
        }
        return days;
    }

    /// Each author day's growth of the effort of the churn so far, summed in date order.
    std::vector<std::pair<Date, double>> expectedPortfolioDays(std::vector<LoggedCommit> commits) const {
        std::stable_sort(commits.begin(), commits.end(),
                         [](const auto& a, const auto& b) { return a.authoredAt < b.authoredAt; });
        std::map<Date, std::int64_t> churnAtDayEnd;
        std::int64_t churn = 0;
        for (const auto& commit : commits) {
            for (const auto& change : commit.changes) churn += change.insertions + change.deletions;
            churnAtDayEnd[startOfDay(std::min(commit.authoredAt, now))] = churn;
        }
        std::vector<std::pair<Date, double>> days;
        double previous = 0.0;
        for (const auto& [dayStart, lines] : churnAtDayEnd) {
            days.emplace_back(dayStart, organicEffort(lines) - previous);
            previous = organicEffort(lines);
        }
        return days;
    }

    const Date now = platform::currentDate();
    const Date today = startOfDay(now);
    GitTestRepository repository;
    NorvaneKit kit{container, SccService(testing::builtInCounterOnly())};
};

double windowLeverage(const std::vector<std::pair<Date, double>>& rows, Date from, Date to, double months) {
    double sum = 0.0;
    for (const auto& [date, effort] : rows) {
        if (date >= from && date < to) sum += effort;
    }
    return sum / months;
}

double peakLeverage(const std::vector<std::pair<Date, double>>& rows, std::size_t length) {
    double peak = 0.0;
    for (std::size_t end = length; end <= rows.size(); ++end) {
        double sum = 0.0;
        for (std::size_t index = end - length; index < end; ++index) sum += rows[index].second;
        peak = std::max(peak, sum / (static_cast<double>(length) / 30.0));
    }
    return peak;
}

std::pair<std::int64_t, std::int64_t> streaksOf(const std::set<Date>& days, Date today) {
    std::int64_t longest = 0;
    std::int64_t run = 0;
    std::optional<Date> previous;
    for (const auto day : days) {
        run = previous && addingDays(*previous, 1) == day ? run + 1 : 1;
        longest = std::max(longest, run);
        previous = day;
    }
    std::int64_t current = 0;
    for (auto day = days.contains(today) ? today : addingDays(today, -1); days.contains(day);
         day = addingDays(day, -1)) {
        ++current;
    }
    return {current, longest};
}

TEST_F(MatureRepositoryJourney, EveryPageFigureEqualsWhatGitSays) {
    makeHistory();
    const auto commits = plainGitLog(repository);
    const auto days = expectedDays(commits);

    const auto project = kit.addProject("mature", repository.pathString(), std::nullopt, ProjectType::organic);
    const auto added = kit.collector().collectInitialData(project);
    ASSERT_TRUE(added.isSuccess()) << added.error->message;
    const auto imported = kit.collectHistory("mature");
    ASSERT_EQ(imported.snapshotCount, static_cast<int>(commits.size()));
    EXPECT_FALSE(imported.shallowFrom);

    // One activity row per day with commits, counted as git counts them, none on a day to come.
    auto rows = stored<DailyActivity>();
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a->date < b->date; });
    ASSERT_EQ(rows.size(), days.size());
    auto expected = days.begin();
    for (const auto& row : rows) {
        const auto& [date, day] = *expected++;
        const auto category = [&day](OutputCategory which) {
            const auto found = day.categories.find(which);
            return found == day.categories.end() ? std::pair<std::int64_t, std::int64_t>() : found->second;
        };
        EXPECT_EQ(std::tuple(row->date, row->commitCount, row->totalInsertions, row->totalDeletions, row->filesChanged,
                             std::pair(row->codeLinesInserted, row->codeLinesDeleted),
                             std::pair(row->docsLinesInserted, row->docsLinesDeleted),
                             std::pair(row->testLinesInserted, row->testLinesDeleted),
                             std::pair(row->configLinesInserted, row->configLinesDeleted)),
                  std::tuple(date, day.commits, day.insertions, day.deletions,
                             static_cast<std::int64_t>(day.files.size()), category(OutputCategory::code),
                             category(OutputCategory::docs), category(OutputCategory::tests),
                             category(OutputCategory::config)));
        EXPECT_NEAR(row->estimatedEffortMonths, organicEffort(day.insertions + day.deletions), 1e-9);
    }

    // Read back as the pages read it, over a context of their own.
    const auto pageContext = std::make_shared<platform::ModelContext>(container);
    const auto read = pageContext->fetch<Project>().front();
    PortfolioMetricsService metrics(pageContext);

    // Composition over 30, 90 and 365 days.
    for (const int window : {30, 90, 365}) {
        std::map<OutputCategory, std::int64_t> changed;
        for (const auto& [date, day] : days) {
            if (date < addingDays(now, -window)) continue;
            for (const auto& [category, counts] : day.categories) changed[category] += counts.first + counts.second;
        }
        const auto composition = metrics.getOutputComposition(read, window);
        EXPECT_EQ(std::tuple(composition.code.insertions + composition.code.deletions,
                             composition.docs.insertions + composition.docs.deletions,
                             composition.tests.insertions + composition.tests.deletions,
                             composition.config.insertions + composition.config.deletions),
                  std::tuple(changed[OutputCategory::code], changed[OutputCategory::docs],
                             changed[OutputCategory::tests], changed[OutputCategory::config]))
            << window << " days";
        EXPECT_GT(composition.totalLinesTouched(), 0) << window << " days";
    }

    // The streak, from the days with commits.
    std::set<Date> active;
    for (const auto& row : rows) active.insert(row->date);
    std::set<Date> activeByGit;
    for (const auto& [date, day] : days) activeByGit.insert(date);
    const auto streak = StreakCalculator::calculate(active, now);
    EXPECT_EQ(std::pair(streak.currentStreak, streak.longestStreak), streaksOf(activeByGit, today));
    EXPECT_GE(streak.longestStreak, 14);

    // The velocity baseline of the first 60 days from the first commit's day as the rows count
    // them, by committer date, and the retention of the last 30.
    const auto firstDay = startOfDay(std::min_element(commits.begin(), commits.end(), [](const auto& a, const auto& b) {
                                         return a.committedAt < b.committedAt;
                                     })->committedAt);
    const auto velocity = [&days](Date from, Date to) {
        std::int64_t sum = 0;
        std::int64_t count = 0;
        for (const auto& [date, day] : days) {
            if (date >= from && date < to) {
                sum += day.codeChanged();
                ++count;
            }
        }
        return static_cast<double>(sum) / static_cast<double>(count);
    };
    const double baseline = velocity(firstDay, addingDays(firstDay, 60));
    ASSERT_TRUE(read->baselineVelocity);
    EXPECT_DOUBLE_EQ(*read->baselineVelocity, baseline);
    const auto retention = metrics.getVelocityRetention(read);
    EXPECT_DOUBLE_EQ(*retention.currentVelocity, velocity(addingDays(now, -30), addingDays(today, 1)));
    EXPECT_DOUBLE_EQ(*retention.retentionPercent, *retention.currentVelocity / baseline * 100.0);

    // The portfolio's days grow with the churn in date order: no day books more than git changed.
    const auto portfolioDays = expectedPortfolioDays(commits);
    ASSERT_EQ(kit.buildPortfolioSnapshots(), static_cast<int>(portfolioDays.size()));
    auto portfolioRows = stored<DailyPortfolioSnapshot>();
    std::sort(portfolioRows.begin(), portfolioRows.end(),
              [](const auto& a, const auto& b) { return a->date < b->date; });
    ASSERT_EQ(portfolioRows.size(), portfolioDays.size());
    for (std::size_t index = 0; index < portfolioRows.size(); ++index) {
        EXPECT_EQ(portfolioRows[index]->date, portfolioDays[index].first);
        EXPECT_NEAR(portfolioRows[index]->dailyEffortMonths, portfolioDays[index].second, 1e-9) << index;
    }

    // Personal bests and period comparisons.
    const auto figures = kit.getPortfolioMetrics();
    EXPECT_NEAR(*figures.peak7DayLeverage, peakLeverage(portfolioDays, 7), 1e-9);
    EXPECT_NEAR(*figures.peak14DayLeverage, peakLeverage(portfolioDays, 14), 1e-9);
    const auto back = [this](int count) { return addingDays(now, -count); };
    EXPECT_NEAR(*figures.rollingLeverage7Day, windowLeverage(portfolioDays, back(7), now, 7.0 / 30.0), 1e-9);
    EXPECT_NEAR(*figures.rollingLeveragePrior7Day, windowLeverage(portfolioDays, back(14), back(7), 7.0 / 30.0), 1e-9);
    EXPECT_NEAR(*figures.rollingLeverage14Day, windowLeverage(portfolioDays, back(14), now, 14.0 / 30.0), 1e-9);
    EXPECT_NEAR(*figures.rollingLeverage30Day, windowLeverage(portfolioDays, back(30), now, 1.0), 1e-9);

    // A second import books the same days again, and leaves the collected day's row as it was.
    const auto todaysRow = rows.back();
    ASSERT_EQ(todaysRow->date, today);
    ASSERT_FALSE(kit.collectHistory("mature").error);
    auto again = stored<DailyActivity>();
    ASSERT_EQ(again.size(), rows.size());
    EXPECT_EQ(std::count_if(again.begin(), again.end(), [&](const auto& row) { return row->id == todaysRow->id; }), 1);
}

} // namespace
} // namespace norvane
