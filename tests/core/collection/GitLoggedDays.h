#pragma once

#include "tests/core/collection/GitTestRepository.h"

#include "platform/Date.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace norvane::testing {

/// One local day of committer dates as a plain `git log --numstat` shows it.
struct LoggedDay {
    std::int64_t commits = 0;
    std::int64_t insertions = 0;
    std::int64_t deletions = 0;
    std::set<std::string> files;

    bool operator==(const LoggedDay&) const = default;
};

/// The days of the commits that `revisions` reach, keyed by the start of each local day; a commit
/// named in `bookedOn` counts on that moment's day instead. Files count by their content, whatever
/// the checked-out .gitattributes say. Paths are read as they stand, so the history must hold no
/// renames.
std::map<platform::Date, LoggedDay> loggedDays(const GitTestRepository& repository,
                                               const std::vector<std::string>& revisions = {"HEAD"},
                                               const std::map<std::string, platform::Date>& bookedOn = {});

} // namespace norvane::testing
