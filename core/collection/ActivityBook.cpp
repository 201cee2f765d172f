#include "core/collection/ActivityBook.h"

#include "core/collection/CocomoEstimate.h"
#include "core/models/NorvaneError.h"

#include "platform/LocalCalendar.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace norvane {
namespace {

using platform::LocalCalendar::timeZoneName;

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

/// The records of one project, by the day they are dated; a second record of a day is removed.
template <typename R>
std::map<platform::Date, std::shared_ptr<R>> byDay(const std::vector<std::shared_ptr<R>>& records,
                                                   platform::ModelContext& context) {
    std::map<platform::Date, std::shared_ptr<R>> days;
    for (const auto& record : records) {
        if (!days.emplace(record->date, record).second) {
            context.remove(record);
        }
    }
    return days;
}

/// Makes the records of the update's days hold their days: each kept and filled, a missing one
/// inserted, and one of a day without commits now removed.
template <typename R, typename Fill>
void rewrite(std::map<platform::Date, std::shared_ptr<R>> stored, const ActivityBook::Update& update,
             const std::shared_ptr<Project>& project, platform::ModelContext& context, Fill&& fillDay) {
    for (const auto& [dayStart, booking] : update.days) {
        auto& record = stored[dayStart];
        if (!record) {
            record = R::create(project, dayStart);
            context.insert(record);
        }
        fillDay(*record, booking);
    }
    for (const auto& [dayStart, record] : stored) {
        const bool emptied = update.wholeHistory ? !update.days.contains(dayStart) : update.emptied.contains(dayStart);
        if (emptied) {
            context.remove(record);
        }
    }
}

/// The project's records of the update's days: all of them when it books the whole history.
template <typename R>
std::vector<std::shared_ptr<R>>
recordsOfDays(platform::ModelContext& context, platform::Field<R, std::shared_ptr<Project>> projectField,
              platform::Field<R, platform::Date> dateField, const std::shared_ptr<Project>& project,
              const ActivityBook::Update& update) {
    auto predicate = projectField == project;
    if (!update.wholeHistory) {
        std::set<platform::Date> days(update.emptied);
        for (const auto& [day, booking] : update.days) days.insert(day);
        predicate = std::move(predicate) && dateField >= *days.begin() && dateField <= *days.rbegin();
    }
    return context.fetch<R>({.predicate = std::move(predicate)});
}

} // namespace

ActivityBook::Update ActivityBook::Update::whole(GitTips tips, GitHistory& history) {
    Update update{.tips = std::move(tips), .wholeHistory = true};
    update.days = std::move(history.days);
    update.firstBookedAt = history.firstBookedAt;
    update.head = history.head;
    return update;
}

ActivityBook::ActivityBook(std::shared_ptr<platform::ModelContext> context, const GitService& git,
                           platform::Clock clock)
    : context_(std::move(context)), git_(git), clock_(std::move(clock)) {}

std::shared_ptr<BookedHistory> ActivityBook::bookedHistory(const std::shared_ptr<Project>& project) {
    const auto found =
        context_->fetch<BookedHistory>({.predicate = BookedHistoryField::project == project, .limit = 1});
    return found.empty() ? nullptr : found.front();
}

ActivityBook::Update ActivityBook::read(const std::shared_ptr<Project>& project, const GitTips& tips) {
    const auto booked = bookedHistory(project);
    const auto before = booked ? booked->tipList() : std::vector<std::string>();
    if (!booked || booked->timeZone != timeZoneName() || booked->shallowBoundary != tips.shallowBoundary ||
        !areCommitHashes(before)) {
        return readWhole(project, tips, booked);
    }
    if (before == tips.commits) {
        return Update{.tips = tips, .booked = booked};
    }
    try {
        if (auto update = readChanges(project, tips, *booked)) {
            update->booked = booked;
            return std::move(*update);
        }
    } catch (const NorvaneError& error) {
        // A tip read earlier that git no longer holds: what it reached cannot be told from the rest.
        if (error.kind() != NorvaneError::Kind::gitFailed) throw;
    }
    return readWhole(project, tips, booked);
}

CommitBooking ActivityBook::booking(const std::shared_ptr<Project>& project) {
    std::unordered_map<std::string, platform::Date> firstSeen;
    for (const auto& [hash, place] : commitsBooked(project)) {
        if (place.second.firstSeenAt) firstSeen.emplace(hash, *place.second.firstSeenAt);
    }
    return CommitBooking(clock_(), std::move(firstSeen));
}

ActivityBook::Update ActivityBook::readWhole(const std::shared_ptr<Project>& project, const GitTips& tips,
                                             std::shared_ptr<BookedHistory> booked) {
    auto booking = this->booking(project);
    auto history = git_.readHistory(project->path, tips, booking);
    auto update = Update::whole(tips, history);
    update.booked = std::move(booked);
    return update;
}

std::optional<ActivityBook::Update> ActivityBook::readChanges(const std::shared_ptr<Project>& project,
                                                              const GitTips& tips, const BookedHistory& booked) {
    Update update{.tips = tips};
    const auto before = booked.tipList();
    const auto bookedCommits = commitsBooked(project);
    CommitBooking booking(clock_());
    std::unordered_set<std::string> parentsOfNew;
    git_.visitCommits(project->path, difference(tips.commits, before), before, tips.shallowBoundary,
                      [&](const GitLogParser::LogRecord& record) {
                          record.forEachParent(
                              [&parentsOfNew](std::string_view parent) { parentsOfNew.emplace(parent); });
                          // Git's walk may list a commit an earlier tip reaches where commit dates go
                          // back in time: only a commit not booked yet is new.
                          if (bookedCommits.contains(std::string(record.hash))) return;
                          if (record.hash == tips.head) update.head = record.summary();
                          auto commit = booking.book(record.hash, record.committedAt);
                          const auto moment = CommitBooking::moment(commit, record.committedAt);
                          update.firstBookedAt = std::min(update.firstBookedAt.value_or(moment), moment);
                          update.days[booking.dayOf(moment)].add(record, std::move(commit));
                      });
    // A tip left behind that a new commit builds on reaches nothing that went.
    auto leftBehind = difference(before, tips.commits);
    std::erase_if(leftBehind, [&parentsOfNew](const auto& tip) { return parentsOfNew.contains(tip); });
    const auto gone = goneCommits(project, tips, leftBehind, bookedCommits);

    // The days to count anew: those of the new commits, and those that lost commits.
    std::set<platform::Date> affected;
    for (const auto& [day, commits] : update.days) affected.insert(day);
    const auto firstDay =
        booked.firstBookedAt ? std::optional(platform::LocalCalendar::startOfDay(*booked.firstBookedAt)) : std::nullopt;
    for (const auto& hash : gone) {
        const auto day = bookedCommits.at(hash).first;
        // The first moment of the history may have gone with it: that is read whole.
        if (day == firstDay) return std::nullopt;
        affected.insert(day);
    }

    // What those days keep of their commits is read again with the new ones.
    std::vector<std::string> kept;
    for (const auto& [hash, place] : bookedCommits) {
        if (affected.contains(place.first) && !gone.contains(hash)) kept.push_back(hash);
    }
    git_.visitListedCommits(project->path, kept, [&](const GitLogParser::LogRecord& record) {
        const auto& [day, commit] = bookedCommits.at(std::string(record.hash));
        update.days[day].add(record, commit);
    });
    for (const auto day : affected) {
        if (!update.days.contains(day)) update.emptied.insert(day);
    }
    if (booked.firstBookedAt) {
        update.firstBookedAt = std::min(*booked.firstBookedAt, update.firstBookedAt.value_or(*booked.firstBookedAt));
    }
    return update;
}

ActivityBook::BookedCommits ActivityBook::commitsBooked(const std::shared_ptr<Project>& project) {
    BookedCommits commits;
    for (const auto& day : context_->fetch<BookedDay>({.predicate = BookedDayField::project == project})) {
        for (auto& commit : day->commitList()) {
            auto hash = commit.hash;
            commits.emplace(std::move(hash), std::pair(day->date, std::move(commit)));
        }
    }
    return commits;
}

std::unordered_set<std::string> ActivityBook::goneCommits(const std::shared_ptr<Project>& project, const GitTips& tips,
                                                          const std::vector<std::string>& leftBehind,
                                                          const BookedCommits& bookedCommits) {
    auto candidates = git_.listCommits(project->path, leftBehind, tips.commits);
    std::erase_if(candidates, [&bookedCommits](const auto& hash) { return !bookedCommits.contains(hash); });
    if (candidates.empty()) {
        return {};
    }
    // Where commit dates go back in time git's walk may also list commits that the tips still
    // reach: only the whole set they reach tells them apart.
    const auto reachedList = git_.listCommits(project->path, tips.commits, {});
    const std::unordered_set<std::string> reached(reachedList.begin(), reachedList.end());
    std::unordered_set<std::string> gone;
    for (auto& hash : candidates) {
        if (!reached.contains(hash)) gone.insert(std::move(hash));
    }
    return gone;
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
    booked->head = update.tips.head;
    booked->setTips(update.tips.commits);
    booked->timeZone = timeZoneName();
    booked->shallowBoundary = update.tips.shallowBoundary;
    booked->pricedWage = settings.averageWage;
    booked->pricedOverhead = settings.overhead;
    booked->pricedType = project->projectType;
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
    const auto rows = recordsOfDays(*context_, DailyActivityField::project, DailyActivityField::date, project, update);
    rewrite(byDay(rows, *context_), update, project, *context_,
            [&](DailyActivity& row, const DayBooking& day) { fill(row, day.stats(), settings, project->projectType); });
    const auto days = recordsOfDays(*context_, BookedDayField::project, BookedDayField::date, project, update);
    rewrite(byDay(days, *context_), update, project, *context_,
            [](BookedDay& record, const DayBooking& day) { record.setCommits(day.commits()); });
    return booked;
}

std::shared_ptr<DailyActivity> ActivityBook::todaysRow(const std::shared_ptr<Project>& project) {
    const auto today = platform::LocalCalendar::startOfDay(clock_());
    const auto rows = context_->fetch<DailyActivity>(
        {.predicate = DailyActivityField::project == project && DailyActivityField::date == today, .limit = 1});
    return rows.empty() ? nullptr : rows.front();
}

} // namespace norvane
