#include "core/models/ProjectSizeBucket.h"

namespace norvane {

ProjectSizeBucket sizeBucketForLines(std::int64_t lines) {
    if (lines >= 0 && lines < 5000) return ProjectSizeBucket::greenfield;
    if (lines >= 5000 && lines < 20000) return ProjectSizeBucket::small;
    if (lines >= 20000 && lines < 50000) return ProjectSizeBucket::medium;
    if (lines >= 50000 && lines < 100000) return ProjectSizeBucket::large;
    return ProjectSizeBucket::enterprise;
}

std::string_view lineRange(ProjectSizeBucket bucket) {
    switch (bucket) {
    case ProjectSizeBucket::greenfield: return "0-5K lines";
    case ProjectSizeBucket::small: return "5-20K lines";
    case ProjectSizeBucket::medium: return "20-50K lines";
    case ProjectSizeBucket::large: return "50-100K lines";
    case ProjectSizeBucket::enterprise: return "100K+ lines";
    }
    return {};
}

std::string_view iconName(ProjectSizeBucket bucket) {
    switch (bucket) {
    case ProjectSizeBucket::greenfield: return "leaf";
    case ProjectSizeBucket::small: return "cube";
    case ProjectSizeBucket::medium: return "cube.box";
    case ProjectSizeBucket::large: return "building.2";
    case ProjectSizeBucket::enterprise: return "building.columns";
    }
    return {};
}

} // namespace norvane
