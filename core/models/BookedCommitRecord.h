#pragma once

#include "core/models/BookedCommit.h"
#include "core/models/Project.h"

namespace norvane {

/// A commit that a project's activity row of one local day counts: what lets a collection tell a
/// new commit from one already counted, and count a day anew from git when some of its commits
/// come or go. One per (project, commit).
class BookedCommitRecord : public platform::Model<BookedCommitRecord> {
public:
    std::string hash;
    /// The start of the local day the commit counts on, as the row of the day is dated.
    platform::Date date{};
    /// The commit's date, while it lies after the moment the commit counts at (BookedCommit).
    std::optional<platform::Date> aheadUntil;
    std::shared_ptr<Project> project;

    BookedCommitRecord() = default;
    static std::shared_ptr<BookedCommitRecord> create(const std::shared_ptr<Project>& project, platform::Date dayStart,
                                                      const BookedCommit& commit);
    static const platform::Entity<BookedCommitRecord>& entity();
};

namespace BookedCommitField {
inline constexpr platform::Field<BookedCommitRecord, std::string> hash{"hash", &BookedCommitRecord::hash};
inline constexpr platform::Field<BookedCommitRecord, platform::Date> date{"date", &BookedCommitRecord::date};
inline constexpr platform::Field<BookedCommitRecord, std::optional<platform::Date>> aheadUntil{
    "aheadUntil", &BookedCommitRecord::aheadUntil};
inline constexpr platform::Field<BookedCommitRecord, std::shared_ptr<Project>> project{"project",
                                                                                       &BookedCommitRecord::project};
} // namespace BookedCommitField

} // namespace norvane
