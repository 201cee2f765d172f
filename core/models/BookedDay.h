#pragma once

#include "core/models/BookedCommit.h"
#include "core/models/Project.h"

namespace norvane {

/// The commits that a project's activity row of one local day counts: what lets a collection
/// count that day anew from git when some of its commits come or go. One per (project, day).
class BookedDay : public platform::Model<BookedDay> {
public:
    platform::Uuid id = platform::Uuid::random();
    /// The start of the local day, as the row of the day is dated.
    platform::Date date{};
    std::string commits;
    std::shared_ptr<Project> project;

    BookedDay() = default;
    static std::shared_ptr<BookedDay> create(const std::shared_ptr<Project>& project, platform::Date dayStart);
    static const platform::Entity<BookedDay>& entity();

    std::vector<BookedCommit> commitList() const { return BookedCommit::split(commits); }
    void setCommits(const std::vector<BookedCommit>& list) { commits = BookedCommit::join(list); }
};

namespace BookedDayField {
inline constexpr platform::Field<BookedDay, platform::Uuid> id{"id", &BookedDay::id};
inline constexpr platform::Field<BookedDay, platform::Date> date{"date", &BookedDay::date};
inline constexpr platform::Field<BookedDay, std::string> commits{"commits", &BookedDay::commits};
inline constexpr platform::Field<BookedDay, std::shared_ptr<Project>> project{"project", &BookedDay::project};
} // namespace BookedDayField

} // namespace norvane
