#pragma once

#include "platform/RawValueEnum.h"

#include <string_view>

namespace norvane {

/// The verdict on how much of its early coding speed a project keeps. The raw value is the
/// display label.
enum class RetentionAssessment { excellent, good, typical, belowAverage, tooEarly };

std::string_view message(RetentionAssessment assessment);
std::string_view iconName(RetentionAssessment assessment);

} // namespace norvane

template <>
struct norvane::platform::EnumTraits<norvane::RetentionAssessment> {
    static constexpr std::array cases{
        std::pair{RetentionAssessment::excellent, std::string_view("Excellent")},
        std::pair{RetentionAssessment::good, std::string_view("Good")},
        std::pair{RetentionAssessment::typical, std::string_view("Typical")},
        std::pair{RetentionAssessment::belowAverage, std::string_view("Below Average")},
        std::pair{RetentionAssessment::tooEarly, std::string_view("Too Early")},
    };
};
