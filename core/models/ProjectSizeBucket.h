#pragma once

#include "platform/RawValueEnum.h"

#include <cstdint>
#include <string_view>

namespace norvane {

/// Size class of a code base by its code lines. Its raw values are also its display names.
enum class ProjectSizeBucket { greenfield, small, medium, large, enterprise };

/// The bucket of a line count; a negative count (never a real size) lands in `enterprise`.
ProjectSizeBucket sizeBucketForLines(std::int64_t lines);
std::string_view lineRange(ProjectSizeBucket bucket);
std::string_view iconName(ProjectSizeBucket bucket);

} // namespace norvane

template <>
struct norvane::platform::EnumTraits<norvane::ProjectSizeBucket> {
    static constexpr std::array cases{
        std::pair{ProjectSizeBucket::greenfield, std::string_view("Greenfield")},
        std::pair{ProjectSizeBucket::small, std::string_view("Small")},
        std::pair{ProjectSizeBucket::medium, std::string_view("Medium")},
        std::pair{ProjectSizeBucket::large, std::string_view("Large")},
        std::pair{ProjectSizeBucket::enterprise, std::string_view("Enterprise")},
    };
};
