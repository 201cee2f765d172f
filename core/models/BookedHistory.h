#pragma once

#include "core/models/Project.h"

namespace norvane {

/// What a project's daily activity rows were last booked from: the commits that HEAD and the local
/// branches named (every commit they reach counts once), the time zone whose days the rows are,
/// a shallow clone's boundary, and what else changes which commits git reads or how it counts
/// their lines. A project has one once its history has been imported whole; a git project without
/// one is an add that did not finish, and a project with one was a repository.
class BookedHistory : public platform::Model<BookedHistory> {
public:
    platform::Uuid id = platform::Uuid::random();
    /// Where the work tree of the repository the rows were booked from begins, as found from the
    /// project's folder, by its real path when it was first booked there (a link left where the
    /// folder was may lead through it since): a repository whose work tree begins higher or lower,
    /// seen from the folder, and that holds none of their tips is another one. Empty when none is
    /// kept (a store of 1.2.0, or one of 1.3.0 whose git folder told not where the work tree begins)
    /// until the next collection.
    std::string repository;
    /// The commit HEAD named; none before the first commit.
    std::optional<std::string> head;
    /// The distinct commits of HEAD and the local branches, sorted, separated by spaces.
    std::string tips;
    /// The time zone whose days the rows are, known by its rules (LocalCalendar::timeZoneRules).
    std::string timeZone;
    /// A shallow clone's boundary commits as git lists them; empty for a whole history.
    std::string shallowBoundary;
    /// The repository's replacements ("refs/replace/..." and what each names), one a line, sorted.
    std::string replacements;
    /// The repository's own files that change how git reads its history (info/attributes,
    /// info/grafts), as they read, and the configuration of the diff drivers the attributes name.
    std::string infoFiles;
    /// The earliest moment a booked commit counts at: the first day of the rows.
    std::optional<platform::Date> firstBookedAt;
    /// Set while the rows were booked by a clock that read earlier than an earlier collection of the
    /// project: the moment that collection saw. Either clock may be wrong, so the rows are booked
    /// anew, whole, by the first collection whose clock reads this moment or later.
    std::optional<platform::Date> provisionalUntil;
    /// The latest date of a booked commit dated after the moment it counts at, while there is one:
    /// each collection books such commits anew at its own moment, and reads only the days they
    /// leave and join, until its clock reads their dates.
    std::optional<platform::Date> aheadUntil;
    /// What the rows' effort and cost were priced with.
    double pricedWage = 0;
    double pricedOverhead = 0;
    ProjectType pricedType = ProjectType::organic;
    std::shared_ptr<Project> project;

    BookedHistory() = default;
    static std::shared_ptr<BookedHistory> create(const std::shared_ptr<Project>& project);
    static const platform::Entity<BookedHistory>& entity();

    std::vector<std::string> tipList() const;
    void setTips(const std::vector<std::string>& list);
};

namespace BookedHistoryField {
inline constexpr platform::Field<BookedHistory, platform::Uuid> id{"id", &BookedHistory::id};
inline constexpr platform::Field<BookedHistory, std::string> repository{"repository", &BookedHistory::repository};
inline constexpr platform::Field<BookedHistory, std::optional<std::string>> head{"head", &BookedHistory::head};
inline constexpr platform::Field<BookedHistory, std::string> tips{"tips", &BookedHistory::tips};
inline constexpr platform::Field<BookedHistory, std::string> timeZone{"timeZone", &BookedHistory::timeZone};
inline constexpr platform::Field<BookedHistory, std::string> shallowBoundary{"shallowBoundary",
                                                                             &BookedHistory::shallowBoundary};
inline constexpr platform::Field<BookedHistory, std::string> replacements{"replacements", &BookedHistory::replacements};
inline constexpr platform::Field<BookedHistory, std::string> infoFiles{"infoFiles", &BookedHistory::infoFiles};
inline constexpr platform::Field<BookedHistory, std::optional<platform::Date>> firstBookedAt{
    "firstBookedAt", &BookedHistory::firstBookedAt};
inline constexpr platform::Field<BookedHistory, std::optional<platform::Date>> provisionalUntil{
    "provisionalUntil", &BookedHistory::provisionalUntil};
inline constexpr platform::Field<BookedHistory, std::optional<platform::Date>> aheadUntil{"aheadUntil",
                                                                                          &BookedHistory::aheadUntil};
inline constexpr platform::Field<BookedHistory, double> pricedWage{"pricedWage", &BookedHistory::pricedWage};
inline constexpr platform::Field<BookedHistory, double> pricedOverhead{"pricedOverhead",
                                                                       &BookedHistory::pricedOverhead};
inline constexpr platform::Field<BookedHistory, ProjectType> pricedType{"pricedType", &BookedHistory::pricedType};
inline constexpr platform::Field<BookedHistory, std::shared_ptr<Project>> project{"project", &BookedHistory::project};
} // namespace BookedHistoryField

} // namespace norvane
