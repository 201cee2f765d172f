#pragma once

#include "core/collection/CollectionMoment.h"
#include "core/collection/CommitBooking.h"
#include "core/collection/DayBooking.h"
#include "core/collection/GitCommit.h"
#include "core/collection/GitHistory.h"
#include "core/collection/GitService.h"
#include "core/collection/GitTips.h"
#include "core/models/AppSettings.h"
#include "core/models/BookedHistory.h"
#include "core/models/DailyActivity.h"

#include "platform/Date.h"
#include "platform/persistence/ModelContext.h"

#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace norvane {

/// Keeps a project's daily activity rows equal to what a fresh history import books from its
/// repository as it is now: every commit that HEAD or a local branch reaches, once, on the local
/// day of its committer date in the current time zone, or, for a commit dated after the moment of
/// the collection, on the day of that moment (CommitBooking). A collection keeps the tips it read
/// and asks git only what changed since: the commits the tips reach now and did not before, those
/// they reach no longer, and those booked at an earlier moment being dated after it, which count
/// at this one or on their own day; the days all of them leave and join are counted anew from their
/// commits. Whatever else changes the days (the zone's rules, a shallow clone's depth, the
/// replacements, the repository's info files, tips git no longer holds) is read whole, and the log
/// says why; so is everything while the clock reads earlier than an earlier collection's
/// (CollectionMoment).
class ActivityBook {
public:
    /// A commit booked on a day: the start of the day, and the commit.
    using DayOfCommit = std::pair<platform::Date, BookedCommit>;

    /// What changed since the rows were booked, read from git before anything is stored.
    struct Update {
        GitTips tips;
        /// The rows are booked anew whole from `days`, or only `days` and `emptied` change.
        bool wholeHistory = false;
        /// The days to write, each with every commit it counts.
        BookedDays days;
        /// Days that had commits and have none now.
        std::set<platform::Date> emptied;
        /// Read in part: the commits booked anew, and those that count no more.
        std::vector<DayOfCommit> added;
        std::vector<std::string> removed;
        std::optional<platform::Date> firstBookedAt;
        /// HEAD's commit, when the log read it.
        std::optional<GitCommit> head;
        /// What the rows were booked from when this was read; none before the first import.
        std::shared_ptr<BookedHistory> booked;
        /// What `booked` held when this was read, to tell whether another program booked the
        /// project since; none when nothing was booked.
        std::optional<std::vector<platform::SqlValue>> bookedAsRead;
        /// Booked by a clock that read earlier than an earlier collection's (CollectionMoment):
        /// until a collection whose clock reads this moment or later books the rows anew.
        std::optional<platform::Date> provisionalUntil;
        /// The latest date of a commit counted at the moment, being dated after it.
        std::optional<platform::Date> aheadUntil;

        /// The whole history of one pass over the log, booked by `booking` at `moment`.
        static Update whole(GitTips tips, GitHistory& history, const CommitBooking& booking,
                            const CollectionMoment& moment);
        /// Until when the rows are booked for now only, and why, where this update begins a reason
        /// for it that `before` (none: nothing booked yet) did not have: a clock that read earlier
        /// than an earlier collection's, or commits dated after the moment; none otherwise, so that
        /// each reason is told once.
        std::optional<CollectionMoment::ProvisionalBooking> newlyProvisional(const BookedHistory* before) const;
    };

    /// Another program booked the project's days after an update was read: the update no longer
    /// applies, and is read again.
    class BookedMeanwhile : public std::runtime_error {
    public:
        BookedMeanwhile();
    };

    ActivityBook(std::shared_ptr<platform::ModelContext> context, const GitService& git);

    /// What the project's rows were booked from; none before its history was imported whole.
    std::shared_ptr<BookedHistory> bookedHistory(const std::shared_ptr<Project>& project);
    /// What changed in the repository since its rows were booked, as a collection at `moment` books
    /// it: whole, when its clock or the one that booked the rows may be wrong. Throws gitFailed, and a
    /// StoreError for a booked commit that cannot be read.
    Update read(const std::shared_ptr<Project>& project, const GitTips& tips, const CollectionMoment& moment);
    /// Writes the update into the rows, the booked commits and the booked history, without
    /// saving; returns the latter. Meant to run inside the save's transaction, where the rows it
    /// reads are those it changes.
    std::shared_ptr<BookedHistory> stage(const std::shared_ptr<Project>& project, const Update& update,
                                         const AppSettings& settings);
    /// Throws BookedMeanwhile when the project's booked history is no longer what `update` was read
    /// from. Inside the save's transaction, no other program can book it between this and the save.
    void requireBookedAsRead(const std::shared_ptr<Project>& project, const Update& update);
    /// The project's row of the day of `moment`, if it has commits.
    std::shared_ptr<DailyActivity> todaysRow(const std::shared_ptr<Project>& project, platform::Date moment);

private:
    Update readSince(const std::shared_ptr<Project>& project, const GitTips& tips,
                     const std::shared_ptr<BookedHistory>& booked, const CollectionMoment& moment);
    Update readWhole(const std::shared_ptr<Project>& project, const GitTips& tips,
                     std::shared_ptr<BookedHistory> booked, const CollectionMoment& moment);
    /// None when what went away lies on the first booked day, or commits dated ahead left it empty
    /// while days not read hold others: its first moment is then read whole.
    std::optional<Update> readChanges(const std::shared_ptr<Project>& project, const GitTips& tips,
                                      const BookedHistory& booked, platform::Date now);
    /// Counts the `affected` days anew into `update` from the commits booked on them but `gone`,
    /// each one booked at an earlier moment being dated after it booked anew by `booking`; returns
    /// how many commits those days held.
    std::size_t readDaysAnew(const std::shared_ptr<Project>& project, const std::set<platform::Date>& affected,
                             const std::unordered_map<std::string, platform::Date>& gone, CommitBooking& booking,
                             Update& update);
    /// The days that the commits booked at an earlier moment, being dated after it, leave and join
    /// when `booking` books them; none of `gone`.
    std::set<platform::Date> daysOfCommitsAhead(const std::shared_ptr<Project>& project,
                                                const std::unordered_map<std::string, platform::Date>& gone,
                                                CommitBooking& booking);
    /// Why the rows cannot be brought up to date from what changed, if so.
    static std::optional<std::string> wholeReadReason(const GitTips& tips, const BookedHistory& booked);
    /// The booked commits that the tips no longer reach, of those `leftBehind` reached, with their days.
    std::unordered_map<std::string, platform::Date> goneCommits(const std::shared_ptr<Project>& project,
                                                                const GitTips& tips,
                                                                const std::vector<std::string>& leftBehind);
    /// The commit's booking, if it is booked.
    std::optional<DayOfCommit> bookedCommit(const std::shared_ptr<Project>& project, std::string_view hash);
    /// How many commits are booked for the project.
    std::size_t bookedCommitCount(const std::shared_ptr<Project>& project);
    /// The commits booked on the given days, by hash.
    std::unordered_map<std::string, DayOfCommit> commitsOnDays(const std::shared_ptr<Project>& project,
                                                               const std::set<platform::Date>& days);
    void stageCommits(const std::shared_ptr<Project>& project, const Update& update);

    std::shared_ptr<platform::ModelContext> context_;
    const GitService& git_;
};

} // namespace norvane
