#pragma once

#include "platform/Date.h"
#include "platform/persistence/ModelContainer.h"

#include <optional>
#include <string>

namespace norvane {

/// The one moment a collection or a history import takes from the clock, and how far it trusts it.
///
/// A clock that reads earlier than a moment an earlier collection saw is wrong, or that
/// collection's was (ahead), and nothing here tells which. The collection then dates and books as a
/// fresh import at its moment would, keeps nothing of it that outlives the next collection by a
/// clock that reads no earlier than every earlier one (no moment a commit was first seen at), and
/// says so. A clock that reads earlier than every code count in the store is taken to be behind
/// them all: the latest moment seen stands in for it, so that nothing is dated before the counts.
struct CollectionMoment {
    /// What dates the collection: its count, its bookings, the project's update.
    platform::Date at;
    /// What the clock read.
    platform::Date clockRead;
    /// The latest moment an earlier collection saw, when the clock read earlier than it.
    std::optional<platform::Date> laterSeen;

    /// Whether what is booked at this moment is booked anew once the clock reads `laterSeen`.
    bool isProvisional() const { return laterSeen.has_value(); }
    /// Says that the clock read earlier than an earlier collection's, when it did.
    std::optional<std::string> notice() const;

    /// Reads what earlier collections saw before the clock: a collection that another program
    /// saves meanwhile is then always earlier than the clock's reading.
    static CollectionMoment take(platform::ModelContainer& store, const platform::Clock& clock);
};

} // namespace norvane
