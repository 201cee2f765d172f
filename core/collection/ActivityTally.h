#pragma once

#include "core/collection/GitActivityStats.h"
#include "core/collection/GitLogParser.h"

#include <set>
#include <string>

namespace norvane {

/// Sums commits' changed files into the activity of a stretch of history, split by output
/// category, counting each path once however many commits changed it.
class ActivityTally {
public:
    void add(const GitLogParser::LogRecord& record);
    GitActivityStats stats() const;

private:
    GitActivityStats stats_;
    std::set<std::string, std::less<>> paths_;
};

} // namespace norvane
