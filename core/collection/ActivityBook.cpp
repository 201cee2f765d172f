#include "core/collection/ActivityBook.h"

#include "core/collection/CocomoEstimate.h"
#include "core/models/BookedCommitRecord.h"
#include "core/models/NorvaneError.h"

#include "platform/ErrorLog.h"
#include "platform/LocalCalendar.h"
#include "platform/persistence/StoreError.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace norvane {
namespace {

using platform::SqlValue;
using platform::LocalCalendar::timeZoneRules;

void price(DailyActivity& row, const AppSettings& settings, ProjectType type) {
    const auto estimate = CocomoEstimate::calculate(row.linesTouched, type, settings.averageWage, settings.overhead);
    row.estimatedEffortMonths = estimate.effortMonths;
    row.estimatedCost = estimate.estimatedCost;
}

void fill(DailyActivity& row, const GitActivityStats& stats, const AppSettings& settings, ProjectType type) {
    row.totalInsertions = stats.insertions;
    row.totalDeletions = stats.deletions;
    row.linesTouched = stats.linesTouched();
    row.commitCount = stats.commitCount;
    row.filesChanged = stats.filesChanged;
    row.codeLinesInserted = stats.codeStats.insertions;
    row.codeLinesDeleted = stats.codeStats.deletions;
    row.docsLinesInserted = stats.docsStats.insertions;
    row.docsLinesDeleted = stats.docsStats.deletions;
    row.testLinesInserted = stats.testStats.insertions;
    row.testLinesDeleted = stats.testStats.deletions;
    row.configLinesInserted = stats.configStats.insertions;
    row.configLinesDeleted = stats.configStats.deletions;
    price(row, settings, type);
}

/// The entries of sorted `all` that sorted `others` lacks.
std::vector<std::string> difference(const std::vector<std::string>& all, const std::vector<std::string>& others) {
    std::vector<std::string> result;
    std::set_difference(all.begin(), all.end(), others.begin(), others.end(), std::back_inserter(result));
    return result;
}

bool areCommitHashes(const std::vector<std::string>& texts) {
    return std::all_of(texts.begin(), texts.end(), [](const auto& text) { return GitLogParser::isCommitHash(text); });
}

/// The rows of one project, by the day they are dated; a second row of a day is removed.
std::map<platform::Date, std::shared_ptr<DailyActivity>> byDay(const std::vector<std::shared_ptr<DailyActivity>>& rows,
                                                               platform::ModelContext& context) {
    std::map<platform::Date, std::shared_ptr<DailyActivity>> days;
    for (const auto& row : rows) {
        if (!days.emplace(row->date, row).second) {
            context.remove(row);
        }
    }
    return days;
}

/// The project's rows of the update's days: all of them when it books the whole history.
std::vector<std::shared_ptr<DailyActivity>> rowsOfDays(platform::ModelContext& context,
                                                       const std::shared_ptr<Project>& project,
                                                       const ActivityBook::Update& update) {
    auto predicate = DailyActivityField::project == project;
    if (!update.wholeHistory) {
        std::set<platform::Date> days(update.emptied);
        for (const auto& [day, booking] : update.days) days.insert(day);
        predicate = std::move(predicate) && DailyActivityField::date >= *days.begin() &&
                    DailyActivityField::date <= *days.rbegin();
    }
    return context.fetch<DailyActivity>({.predicate = std::move(predicate)});
}

/// Makes the rows of the update's days hold their days: each kept and filled, a missing one
/// inserted, and one of a day without commits now removed.
void rewriteRows(const std::shared_ptr<Project>& project, const ActivityBook::Update& update,
                 const AppSettings& settings, platform::ModelContext& context) {
    auto stored = byDay(rowsOfDays(context, project, update), context);
    for (const auto& [dayStart, booking] : update.days) {
        auto& row = stored[dayStart];
        if (!row) {
            // The days are those the booking started, and nothing reads a new row back through
            // this context: it is let go once written.
            row = DailyActivity::startingAt(project, dayStart);
            context.insertWithoutKeeping(row);
        }
        fill(*row, booking.stats(), settings, project->projectType);
    }
    for (const auto& [dayStart, row] : stored) {
        const bool emptied = update.wholeHistory ? !update.days.contains(dayStart) : update.emptied.contains(dayStart);
        if (emptied) {
            context.remove(row);
        }
    }
}

/// A booked commit as the store keeps it; a hash that is no commit's is an error, since the
/// commit would then look new and count twice.
ActivityBook::DayOfCommit readBookedCommit(const platform::QueryRow& row, const Project& project) {
    auto hash = row.get<std::string>(0);
    if (!GitLogParser::isCommitHash(hash)) {
        throw platform::StoreError("The store holds a commit booked for the project " + project.name +
                                   " that cannot be read: \"" + hash + "\"");
    }
    return {row.get<platform::Date>(1), BookedCommit{std::move(hash), row.get<std::optional<platform::Date>>(2)}};
}

const std::string bookedCommitsOfProject = "SELECT hash, date, aheadUntil FROM booked_commit WHERE project = ?";

} // namespace

ActivityBook::Update ActivityBook::Update::whole(GitTips tips, GitHistory& history, const CommitBooking& booking,
                                                 const CollectionMoment& moment) {
    Update update{.tips = std::move(tips),
                  .wholeHistory = true,
                  .provisionalUntil = moment.laterSeen,
                  .aheadUntil = booking.latestAhead()};
    update.days = std::move(history.days);
    update.firstBookedAt = history.firstBookedAt;
    update.head = history.head;
    return update;
}

std::optional<CollectionMoment::ProvisionalBooking>
ActivityBook::Update::newlyProvisional(const BookedHistory* before) const {
    if (provisionalUntil && !(before && before->provisionalUntil)) {
        return CollectionMoment::ProvisionalBooking{std::max(*provisionalUntil, aheadUntil.value_or(*provisionalUntil)),
                                                    true};
    }
    // A commit dated ahead while the clock's note is in force is another reason, with its own date.
    if (aheadUntil && !(before && before->aheadUntil)) return CollectionMoment::ProvisionalBooking{*aheadUntil};
    return std::nullopt;
}

ActivityBook::BookedMeanwhile::BookedMeanwhile()
    : std::runtime_error("Other programs kept booking the project's daily activity while this collection read it; "
                         "nothing was stored") {}

ActivityBook::ActivityBook(std::shared_ptr<platform::ModelContext> context, const GitService& git)
    : context_(std::move(context)), git_(git) {}

std::shared_ptr<BookedHistory> ActivityBook::bookedHistory(const std::shared_ptr<Project>& project) {
    const auto found =
        context_->fetch<BookedHistory>({.predicate = BookedHistoryField::project == project, .limit = 1});
    return found.empty() ? nullptr : found.front();
}

ActivityBook::Update ActivityBook::read(const std::shared_ptr<Project>& project, const GitTips& tips,
                                        const CollectionMoment& moment) {
    const auto booked = bookedHistory(project);
    auto update = readSince(project, tips, booked, moment);
    if (booked) update.bookedAsRead = booked->columnValues();
    return update;
}

void ActivityBook::requireBookedAsRead(const std::shared_ptr<Project>& project, const Update& update) {
    const auto booked = bookedHistory(project);
    const auto now = booked ? std::optional(booked->columnValues()) : std::nullopt;
    if (now != update.bookedAsRead) throw BookedMeanwhile();
}

ActivityBook::Update ActivityBook::readSince(const std::shared_ptr<Project>& project, const GitTips& tips,
                                             const std::shared_ptr<BookedHistory>& booked,
                                             const CollectionMoment& moment) {
    // By a clock that reads earlier than an earlier collection of the project, commits booked on
    // their own days may now lie after the moment: the rows are what an import at it books.
    if (!booked || moment.isProvisional()) {
        return readWhole(project, tips, booked, moment);
    }
    auto reason = wholeReadReason(tips, *booked);
    if (!reason && booked->tipList() == tips.commits && !booked->aheadUntil) {
        return Update{.tips = tips, .booked = booked};
    }
    if (!reason) {
        try {
            if (auto update = readChanges(project, tips, *booked, moment.at)) {
                update->booked = booked;
                return std::move(*update);
            }
            reason = "commits went from its first day, which may move where its history begins";
        } catch (const NorvaneError& error) {
            // Git fails on a tip read before that it no longer holds: what that reached cannot be
            // told from the rest. Any other failure, a time-out too, is the collection's.
            const auto before = booked->tipList();
            if (error.kind() != NorvaneError::Kind::gitFailed ||
                git_.missingCommits(project->path, difference(before, tips.commits)).empty()) {
                throw;
            }
            reason = "a branch tip it was booked from is no longer in the repository";
        }
    }
    platform::logNotice(project->name + ": its daily activity is read again from the whole history: " + *reason);
    return readWhole(project, tips, booked, moment);
}

std::optional<std::string> ActivityBook::wholeReadReason(const GitTips& tips, const BookedHistory& booked) {
    if (booked.provisionalUntil) return "it was booked for now only, by a clock that may be wrong";
    if (booked.timeZone != timeZoneRules()) return "the time zone's rules are not those its days were counted in";
    if (booked.shallowBoundary != tips.shallowBoundary) return "the shallow clone's boundary moved";
    if (booked.replacements != tips.replacements) return "the repository's replacements (git replace) changed";
    if (booked.infoFiles != tips.infoFiles) {
        return "the repository's info/attributes or info/grafts, or the diff drivers they name, changed";
    }
    if (!areCommitHashes(booked.tipList())) return "the tips it was booked from cannot be read";
    return std::nullopt;
}

ActivityBook::Update ActivityBook::readWhole(const std::shared_ptr<Project>& project, const GitTips& tips,
                                             std::shared_ptr<BookedHistory> booked, const CollectionMoment& moment) {
    CommitBooking booking(moment.at);
    auto history = git_.readHistory(project->path, tips, booking);
    if (history.cycle) platform::logWarning(project->name + ": " + *history.cycle + GitHistory::cycleRead);
    auto update = Update::whole(tips, history, booking, moment);
    update.booked = std::move(booked);
    return update;
}

std::optional<ActivityBook::Update> ActivityBook::readChanges(const std::shared_ptr<Project>& project,
                                                              const GitTips& tips, const BookedHistory& booked,
                                                              platform::Date now) {
    Update update{.tips = tips};
    const auto before = booked.tipList();
    CommitBooking booking(now);
    std::unordered_set<std::string> parentsOfNew;
    git_.visitCommits(project->path, difference(tips.commits, before), before, tips.shallowBoundary,
                      [&](const GitLogParser::LogRecord& record) {
                          record.forEachParent(
                              [&parentsOfNew](std::string_view parent) { parentsOfNew.emplace(parent); });
                          // Git's walk may list a commit an earlier tip reaches where commit dates go
                          // back in time: only a commit not booked yet is new.
                          if (bookedCommit(project, record.hash)) return;
                          if (record.hash == tips.head) update.head = record.summary();
                          auto commit = booking.book(record.hash, record.committedAt);
                          update.firstBookedAt = std::min(update.firstBookedAt.value_or(commit.moment), commit.moment);
                          update.added.emplace_back(commit.day, commit.commit);
                          update.days[commit.day].add(record, std::move(commit.commit));
                      });
    // A tip left behind that a new commit builds on reaches nothing that went.
    auto leftBehind = difference(before, tips.commits);
    std::erase_if(leftBehind, [&parentsOfNew](const auto& tip) { return parentsOfNew.contains(tip); });
    const auto gone = goneCommits(project, tips, leftBehind);

    // The days to count anew: those of the new commits, those that lost commits, and those that
    // commits dated after the moment they were booked at leave and join.
    auto affected = booked.aheadUntil ? daysOfCommitsAhead(project, gone, booking) : std::set<platform::Date>{};
    for (const auto& [day, commits] : update.days) affected.insert(day);
    // Without commits, the rows have no first day: none is the distant past.
    const auto firstDay =
        booked.firstBookedAt ? platform::LocalCalendar::startOfDay(*booked.firstBookedAt) : platform::distantPast();
    for (const auto& [hash, day] : gone) {
        // The first moment of the history may have gone with it: that is read whole.
        if (day == firstDay) return std::nullopt;
        affected.insert(day);
        update.removed.push_back(hash);
    }
    const auto held = readDaysAnew(project, affected, gone, booking, update);
    for (const auto day : affected) {
        if (!update.days.contains(day)) update.emptied.insert(day);
    }
    // The first day read anew gives the first moment, unless commits dated ahead left it empty while
    // days not read hold others.
    if (affected.contains(firstDay)) {
        if (update.emptied.contains(firstDay) && held != bookedCommitCount(project)) return std::nullopt;
    } else if (booked.firstBookedAt) {
        update.firstBookedAt = std::min(*booked.firstBookedAt, update.firstBookedAt.value_or(*booked.firstBookedAt));
    }
    update.aheadUntil = booking.latestAhead();
    return update;
}

std::set<platform::Date> ActivityBook::daysOfCommitsAhead(const std::shared_ptr<Project>& project,
                                                          const std::unordered_map<std::string, platform::Date>& gone,
                                                          CommitBooking& booking) {
    std::set<platform::Date> days;
    context_->container()->query(bookedCommitsOfProject + " AND aheadUntil IS NOT NULL",
                                 {SqlValue(project->persistentKey())}, [&](const platform::QueryRow& row) {
                                     const auto [day, commit] = readBookedCommit(row, *project);
                                     if (gone.contains(commit.hash)) return;
                                     days.insert(day);
                                     days.insert(booking.book(commit.hash, *commit.aheadUntil).day);
                                 });
    return days;
}

std::size_t ActivityBook::readDaysAnew(const std::shared_ptr<Project>& project,
                                       const std::set<platform::Date>& affected,
                                       const std::unordered_map<std::string, platform::Date>& gone,
                                       CommitBooking& booking, Update& update) {
    auto kept = commitsOnDays(project, affected);
    const auto held = kept.size();
    std::erase_if(kept, [&gone](const auto& entry) { return gone.contains(entry.first); });
    std::vector<std::string> keptHashes;
    for (const auto& [hash, place] : kept) keptHashes.push_back(hash);
    git_.visitListedCommits(project->path, keptHashes, [&](const GitLogParser::LogRecord& record) {
        const auto& [day, commit] = kept.at(std::string(record.hash));
        // One dated after the moment it was booked at counts at this one, or on its own day once
        // this one reaches it; any other stays where it is.
        auto now = commit.aheadUntil ? booking.book(record.hash, record.committedAt)
                                     : CommitBooking::Booked{record.committedAt, day, commit};
        if (now.day != day || now.commit != commit) {
            update.removed.push_back(commit.hash);
            update.added.emplace_back(now.day, now.commit);
        }
        update.firstBookedAt = std::min(update.firstBookedAt.value_or(now.moment), now.moment);
        update.days[now.day].add(record, std::move(now.commit));
    });
    return held;
}

std::size_t ActivityBook::bookedCommitCount(const std::shared_ptr<Project>& project) {
    std::size_t count = 0;
    context_->container()->query("SELECT count(*) FROM booked_commit WHERE project = ?",
                                 {SqlValue(project->persistentKey())},
                                 [&count](const platform::QueryRow& row) { count = row.get<std::int64_t>(0); });
    return count;
}

std::optional<ActivityBook::DayOfCommit> ActivityBook::bookedCommit(const std::shared_ptr<Project>& project,
                                                                    std::string_view hash) {
    std::optional<DayOfCommit> found;
    context_->container()->query(bookedCommitsOfProject + " AND hash = ?",
                                 {SqlValue(project->persistentKey()), SqlValue(std::string(hash))},
                                 [&](const platform::QueryRow& row) { found = readBookedCommit(row, *project); });
    return found;
}

std::unordered_map<std::string, ActivityBook::DayOfCommit>
ActivityBook::commitsOnDays(const std::shared_ptr<Project>& project, const std::set<platform::Date>& days) {
    std::unordered_map<std::string, DayOfCommit> commits;
    for (const auto day : days) {
        context_->container()->query(
            bookedCommitsOfProject + " AND date = ?",
            {SqlValue(project->persistentKey()), platform::FieldTraits<platform::Date>::toSql(day)},
            [&](const platform::QueryRow& row) {
                auto booked = readBookedCommit(row, *project);
                auto hash = booked.second.hash;
                commits.emplace(std::move(hash), std::move(booked));
            });
    }
    return commits;
}

std::unordered_map<std::string, platform::Date> ActivityBook::goneCommits(const std::shared_ptr<Project>& project,
                                                                          const GitTips& tips,
                                                                          const std::vector<std::string>& leftBehind) {
    std::unordered_map<std::string, platform::Date> candidates;
    for (const auto& hash : git_.listCommits(project->path, leftBehind, tips.commits)) {
        if (const auto booked = bookedCommit(project, hash)) candidates.emplace(hash, booked->first);
    }
    if (candidates.empty()) {
        return {};
    }
    // Where commit dates go back in time git's walk may also list commits that the tips still
    // reach: only the whole set they reach tells them apart.
    const auto reachedList = git_.listCommits(project->path, tips.commits, {});
    const std::unordered_set<std::string> reached(reachedList.begin(), reachedList.end());
    std::erase_if(candidates, [&reached](const auto& entry) { return reached.contains(entry.first); });
    return candidates;
}

std::shared_ptr<BookedHistory> ActivityBook::stage(const std::shared_ptr<Project>& project, const Update& update,
                                                   const AppSettings& settings) {
    auto booked = update.booked ? update.booked : bookedHistory(project);
    if (!booked) {
        booked = BookedHistory::create(project);
        context_->insert(booked);
    }
    // Rows priced otherwise than a fresh import would price them now are priced anew.
    const bool repriced = booked->pricedWage != settings.averageWage || booked->pricedOverhead != settings.overhead ||
                          booked->pricedType != project->projectType;
    booked->repository = update.tips.workTree;
    booked->head = update.tips.head;
    booked->setTips(update.tips.commits);
    booked->timeZone = timeZoneRules();
    booked->shallowBoundary = update.tips.shallowBoundary;
    booked->replacements = update.tips.replacements;
    booked->infoFiles = update.tips.infoFiles;
    booked->pricedWage = settings.averageWage;
    booked->pricedOverhead = settings.overhead;
    booked->pricedType = project->projectType;
    booked->provisionalUntil = update.provisionalUntil;
    booked->aheadUntil = update.aheadUntil;
    if (update.wholeHistory || update.firstBookedAt) {
        booked->firstBookedAt = update.firstBookedAt;
    }
    if (repriced && !update.wholeHistory) {
        for (const auto& row : context_->fetch<DailyActivity>({.predicate = DailyActivityField::project == project})) {
            price(*row, settings, project->projectType);
        }
    }
    if (!update.wholeHistory && update.days.empty() && update.emptied.empty()) {
        return booked;
    }
    rewriteRows(project, update, settings, *context_);
    stageCommits(project, update);
    return booked;
}

void ActivityBook::stageCommits(const std::shared_ptr<Project>& project, const Update& update) {
    // Written once and never read back as records: the context lets them go after the save.
    const auto insert = [&](platform::Date day, const BookedCommit& commit) {
        context_->insertWithoutKeeping(BookedCommitRecord::create(project, day, commit));
    };
    if (update.wholeHistory) {
        context_->removeAll(BookedCommitField::project == project);
        for (const auto& [day, booking] : update.days) {
            for (const auto& commit : booking.commits()) insert(day, commit);
        }
        return;
    }
    for (const auto& hash : update.removed) {
        context_->removeAll(BookedCommitField::project == project && BookedCommitField::hash == hash);
    }
    for (const auto& [day, commit] : update.added) insert(day, commit);
}

std::shared_ptr<DailyActivity> ActivityBook::todaysRow(const std::shared_ptr<Project>& project, platform::Date moment) {
    const auto today = platform::LocalCalendar::startOfDay(moment);
    const auto rows = context_->fetch<DailyActivity>(
        {.predicate = DailyActivityField::project == project && DailyActivityField::date == today, .limit = 1});
    return rows.empty() ? nullptr : rows.front();
}

} // namespace norvane
