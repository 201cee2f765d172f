#include "core/collection/CollectionMoment.h"

#include "core/models/SnapshotType.h"

#include "platform/Iso8601.h"
#include "platform/persistence/FieldTraits.h"

#include <algorithm>

namespace norvane {
namespace {

using platform::Date;
using platform::QueryRow;

/// The snapshots that are code counts, which every collection stores, dated by its moment.
const std::string codeCounts = "snapshotTypeRaw <> '" + std::string(platform::rawValue(SnapshotType::gitHistory)) + "'";

/// The latest moment that earlier collections saw: the dates of their code counts, and the moments
/// for which rows booked by a clock that read earlier wait.
std::optional<Date> latestSeen(platform::ModelContainer& store) {
    std::optional<Date> latest;
    const auto take = [&latest](const QueryRow& row) {
        if (!row.isNull(0)) latest = std::max(latest.value_or(row.get<Date>(0)), row.get<Date>(0));
    };
    store.query("SELECT capturedAt FROM snapshot WHERE " + codeCounts + " ORDER BY capturedAt DESC LIMIT 1", {}, take);
    store.query("SELECT max(provisionalUntil) FROM booked_history", {}, take);
    return latest;
}

bool hasCountAtOrBefore(platform::ModelContainer& store, Date moment) {
    bool found = false;
    store.query("SELECT 1 FROM snapshot WHERE " + codeCounts + " AND capturedAt <= ? LIMIT 1",
                {platform::FieldTraits<Date>::toSql(moment)}, [&found](const QueryRow&) { found = true; });
    return found;
}

} // namespace

CollectionMoment CollectionMoment::take(platform::ModelContainer& store, const platform::Clock& clock) {
    const auto latest = latestSeen(store);
    const auto read = clock();
    if (!latest || read >= *latest) {
        return {read, read, std::nullopt};
    }
    return {hasCountAtOrBefore(store, read) ? read : *latest, read, latest};
}

std::optional<std::string> CollectionMoment::notice() const {
    if (!laterSeen) {
        return std::nullopt;
    }
    const auto later = platform::Iso8601::format(*laterSeen);
    return "the clock reads " + platform::Iso8601::format(clockRead) + ", earlier than " + later +
           ", which an earlier collection saw: one of the two clocks is wrong, so the daily activity is booked as "
           "an import at " +
           platform::Iso8601::format(at) + " would book it, until a collection whose clock reads " + later +
           " or later books it anew";
}

} // namespace norvane
