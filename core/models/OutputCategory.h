#pragma once

#include "platform/RawValueEnum.h"

#include <optional>
#include <string_view>

namespace norvane {

/// What kind of output a line is: code, documentation, configuration or tests.
enum class OutputCategory { code, docs, config, tests };

std::string_view displayName(OutputCategory category);
std::string_view description(OutputCategory category);

} // namespace norvane

template <>
struct norvane::platform::EnumTraits<norvane::OutputCategory> {
    static constexpr std::array cases{
        std::pair{OutputCategory::code, std::string_view("code")},
        std::pair{OutputCategory::docs, std::string_view("docs")},
        std::pair{OutputCategory::config, std::string_view("config")},
        std::pair{OutputCategory::tests, std::string_view("tests")},
    };
};
