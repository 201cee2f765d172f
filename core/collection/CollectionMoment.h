#pragma once

#include "core/models/Project.h"

#include "platform/Date.h"
#include "platform/persistence/ModelContainer.h"

#include <optional>
#include <string>

namespace norvane {

/// The one moment a collection or a history import of a project takes from the clock.
///
/// A clock that reads earlier than a moment an earlier collection of the project saw is wrong, or
/// that collection's was (ahead), and nothing here tells which. The collection then books as a
/// fresh import at its moment would, for now only: until a collection whose clock reads that late
/// books anew, whole. (One that reads earlier than a commit's date, or the committer's clock was
/// ahead: that commit alone is booked anew by each collection, CommitBooking.) A clock that reads
/// earlier than every code count of the project is taken to be behind them all: the latest count
/// stands in for it, so that nothing is dated before the counts. Other projects' moments tell
/// nothing of this one: a count that a wrong clock dated there is theirs to mend.
struct CollectionMoment {
    /// What dates the collection: its count, its bookings, the project's update.
    platform::Date at;
    /// What the clock read.
    platform::Date clockRead;
    /// The latest moment an earlier collection of the project saw or booked for now only until,
    /// when the clock read earlier than it.
    std::optional<platform::Date> laterSeen;

    /// Until when what a collection books holds, and why: its clock read earlier than a moment an
    /// earlier collection saw, or than the date of a commit.
    struct ProvisionalBooking {
        platform::Date until;
        bool clockBehind = false;
    };

    /// Whether the clock read earlier than a moment an earlier collection of the project saw, in
    /// whole seconds.
    bool isProvisional() const { return laterSeen.has_value(); }
    /// Says why what is booked at this moment holds only until the booking's moment.
    std::string notice(const ProvisionalBooking& booking) const;

    /// Reads what earlier collections of `project` saw before the clock: a collection that another
    /// program saves meanwhile is then always earlier than the clock's reading.
    static CollectionMoment take(platform::ModelContainer& store, const Project& project, const platform::Clock& clock);
};

} // namespace norvane
