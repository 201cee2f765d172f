#include "core/collection/CollectionMoment.h"

#include "core/models/SnapshotType.h"

#include "platform/Iso8601.h"
#include "platform/persistence/FieldTraits.h"

#include <algorithm>
#include <utility>

namespace norvane {
namespace {

using platform::Date;
using platform::QueryRow;
using platform::Iso8601::formatLocalMoment;

/// The project's snapshots that are code counts, which every collection stores, dated by its moment.
const std::string codeCountsOfProject = "FROM snapshot WHERE project = ?1 AND snapshotTypeRaw <> '" +
                                        std::string(platform::rawValue(SnapshotType::gitHistory)) + "'";

/// The latest of the project's code counts, and of the moments its rows are booked for now only until.
std::pair<std::optional<Date>, std::optional<Date>> latestSeen(platform::ModelContainer& store,
                                                               const Project& project) {
    std::optional<Date> count;
    std::optional<Date> until;
    store.query("SELECT (SELECT max(capturedAt) " + codeCountsOfProject +
                    "), (SELECT provisionalUntil FROM booked_history WHERE project = ?1)",
                {platform::SqlValue(project.persistentKey())}, [&](const QueryRow& row) {
                    if (!row.isNull(0)) count = row.get<Date>(0);
                    if (!row.isNull(1)) until = row.get<Date>(1);
                });
    return {count, until};
}

bool hasCountAtOrBefore(platform::ModelContainer& store, const Project& project, Date moment) {
    bool found = false;
    store.query("SELECT 1 " + codeCountsOfProject + " AND capturedAt <= ?2 LIMIT 1",
                {platform::SqlValue(project.persistentKey()), platform::FieldTraits<Date>::toSql(moment)},
                [&found](const QueryRow&) { found = true; });
    return found;
}

std::optional<Date> later(std::optional<Date> first, std::optional<Date> second) {
    if (!first) return second;
    return second ? std::max(*first, *second) : first;
}

} // namespace

CollectionMoment CollectionMoment::take(platform::ModelContainer& store, const Project& project,
                                        const platform::Clock& clock) {
    const auto [count, until] = latestSeen(store, project);
    const auto latest = later(count, until);
    const auto read = clock();
    // At whole seconds, as the note shows both: a clock a fraction of a second behind is not behind.
    using std::chrono::floor;
    using std::chrono::seconds;
    if (!latest || floor<seconds>(read) >= floor<seconds>(*latest)) {
        return {read, read, std::nullopt};
    }
    const bool behindEveryCount = count && !hasCountAtOrBefore(store, project, read);
    return {behindEveryCount ? *count : read, read, latest};
}

std::string CollectionMoment::notice(const ProvisionalBooking& booking) const {
    const auto until = booking.until;
    const auto why = booking.clockBehind && laterSeen
                         ? formatLocalMoment(*laterSeen) + ", which an earlier collection saw"
                         : formatLocalMoment(until) + ", the date of one of its commits";
    return "the clock reads " + formatLocalMoment(clockRead) + ", earlier than " + why +
           ": one of the two clocks is wrong, so the daily activity is booked as an import at " +
           formatLocalMoment(at) + " would book it, until a collection whose clock reads " + formatLocalMoment(until) +
           " or later books it anew";
}

} // namespace norvane
