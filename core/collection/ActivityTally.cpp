#include "core/collection/ActivityTally.h"

#include "core/collection/OutputCategoryClassifier.h"

namespace norvane {

void ActivityTally::add(const GitLogParser::LogRecord& record) {
    ++stats_.commitCount;
    for (const auto& file : record.files) {
        stats_.insertions += file.insertions;
        stats_.deletions += file.deletions;
        if (file.path.empty()) {
            continue;
        }
        // One search, and a copy of the path only when it is new.
        if (const auto place = paths_.lower_bound(file.path); place == paths_.end() || *place != file.path) {
            paths_.emplace_hint(place, file.path);
        }
        auto& category = stats_.stats(OutputCategoryClassifier::categorizePath(file.path));
        category.insertions += file.insertions;
        category.deletions += file.deletions;
    }
}

GitActivityStats ActivityTally::stats() const {
    auto stats = stats_;
    stats.filesChanged = static_cast<int64_t>(paths_.size());
    return stats;
}

} // namespace norvane
