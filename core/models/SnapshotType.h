#pragma once

#include "platform/RawValueEnum.h"

namespace norvane {

/// A code count of the working tree ("scc") or a sampled point of the commit history ("gitHistory").
enum class SnapshotType { scc, gitHistory };

} // namespace norvane

template <>
struct norvane::platform::EnumTraits<norvane::SnapshotType> {
    static constexpr std::array cases{
        std::pair{SnapshotType::scc, std::string_view("scc")},
        std::pair{SnapshotType::gitHistory, std::string_view("gitHistory")},
    };
};
