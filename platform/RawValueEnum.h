#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace norvane::platform {

/// Specialise for an enumeration whose cases carry text raw values:
///
///     template <> struct EnumTraits<Color> {
///         static constexpr std::array cases{std::pair{Color::red, std::string_view("red")}, ...};
///     };
///
/// The order of `cases` is the enumeration's declaration order (`allCases`). The store and the JSON
/// files keep such enumerations as their raw value text.
template <typename E>
struct EnumTraits;

template <typename E>
concept RawValueEnum = requires {
    EnumTraits<E>::cases;
};

/// The raw value text of a case.
template <RawValueEnum E>
constexpr std::string_view rawValue(E value) {
    for (const auto& [candidate, text] : EnumTraits<E>::cases) {
        if (candidate == value) {
            return text;
        }
    }
    return {};
}

/// The case whose raw value equals `text` exactly (case-sensitive), or none.
template <RawValueEnum E>
constexpr std::optional<E> fromRawValue(std::string_view text) {
    for (const auto& [candidate, raw] : EnumTraits<E>::cases) {
        if (raw == text) {
            return candidate;
        }
    }
    return std::nullopt;
}

/// Every case, in declaration order.
template <RawValueEnum E>
constexpr auto allCases() {
    std::array<E, EnumTraits<E>::cases.size()> result{};
    for (std::size_t i = 0; i < result.size(); ++i) {
        result[i] = EnumTraits<E>::cases[i].first;
    }
    return result;
}

} // namespace norvane::platform
