#include "core/models/BookedCommitRecord.h"

namespace norvane {

using platform::attribute;

std::shared_ptr<BookedCommitRecord> BookedCommitRecord::create(const std::shared_ptr<Project>& project,
                                                               platform::Date dayStart, const BookedCommit& commit) {
    auto record = std::make_shared<BookedCommitRecord>();
    record->project = project;
    record->date = dayStart;
    record->hash = commit.hash;
    record->aheadUntil = commit.aheadUntil;
    return record;
}

const platform::Entity<BookedCommitRecord>& BookedCommitRecord::entity() {
    // No id of its own: a booked commit is known by its project and hash, and is only ever added
    // or removed, never changed.
    static const platform::Entity<BookedCommitRecord> entity{
        "BookedCommit",
        "booked_commit",
        {
            attribute(BookedCommitField::hash),
            attribute(BookedCommitField::date),
            attribute(BookedCommitField::aheadUntil),
            platform::relationship(BookedCommitField::project, platform::DeleteRule::cascade),
        },
        {{.columns = {"project", "hash"}, .unique = true}, {{"project", "date"}, false}}};
    return entity;
}

} // namespace norvane
