#pragma once

#include "platform/Date.h"
#include "platform/RawValueEnum.h"
#include "platform/Uuid.h"
#include "platform/persistence/Database.h"
#include "platform/persistence/SqlValue.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace norvane::platform {

/// How a field type is kept in a column. Reading is lenient: a value of an unexpected storage
/// class (from a store written by another version) reads as the type's zero value, never a crash.
/// `bind` writes what `toSql` gives straight into a statement, texts and bytes in place.
template <typename T>
struct FieldTraits;

template <>
struct FieldTraits<std::int64_t> {
    static constexpr std::string_view sqlType = "INTEGER";
    static constexpr bool nullable = false;
    static SqlValue toSql(std::int64_t value) { return value; }
    static void bind(Statement& statement, int index, std::int64_t value) { statement.bindInteger(index, value); }
    static std::int64_t fromSql(const SqlValue& value) {
        if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer;
        if (const auto* real = std::get_if<double>(&value)) {
            return std::isfinite(*real) ? static_cast<std::int64_t>(*real) : 0;
        }
        return 0;
    }
};

template <>
struct FieldTraits<int> {
    static constexpr std::string_view sqlType = "INTEGER";
    static constexpr bool nullable = false;
    static SqlValue toSql(int value) { return static_cast<std::int64_t>(value); }
    static void bind(Statement& statement, int index, int value) { statement.bindInteger(index, value); }
    static int fromSql(const SqlValue& value) { return static_cast<int>(FieldTraits<std::int64_t>::fromSql(value)); }
};

template <>
struct FieldTraits<bool> {
    static constexpr std::string_view sqlType = "INTEGER";
    static constexpr bool nullable = false;
    static SqlValue toSql(bool value) { return static_cast<std::int64_t>(value ? 1 : 0); }
    static void bind(Statement& statement, int index, bool value) { statement.bindInteger(index, value ? 1 : 0); }
    static bool fromSql(const SqlValue& value) { return FieldTraits<std::int64_t>::fromSql(value) != 0; }
};

template <>
struct FieldTraits<double> {
    static constexpr std::string_view sqlType = "REAL";
    static constexpr bool nullable = false;
    static SqlValue toSql(double value) { return value; }
    static void bind(Statement& statement, int index, double value) { statement.bindReal(index, value); }
    static double fromSql(const SqlValue& value) {
        if (const auto* real = std::get_if<double>(&value)) return *real;
        if (const auto* integer = std::get_if<std::int64_t>(&value)) return static_cast<double>(*integer);
        return 0.0;
    }
};

template <>
struct FieldTraits<std::string> {
    static constexpr std::string_view sqlType = "TEXT";
    static constexpr bool nullable = false;
    static SqlValue toSql(const std::string& value) { return value; }
    static void bind(Statement& statement, int index, const std::string& value) {
        statement.bindTextInPlace(index, value);
    }
    static std::string fromSql(const SqlValue& value) {
        if (const auto* text = std::get_if<std::string>(&value)) return *text;
        return {};
    }
};

/// Dates are whole microseconds since the Unix epoch.
template <>
struct FieldTraits<Date> {
    static constexpr std::string_view sqlType = "INTEGER";
    static constexpr bool nullable = false;
    static SqlValue toSql(Date value) { return static_cast<std::int64_t>(value.time_since_epoch().count()); }
    static void bind(Statement& statement, int index, Date value) {
        statement.bindInteger(index, value.time_since_epoch().count());
    }
    static Date fromSql(const SqlValue& value) {
        return Date(std::chrono::microseconds(FieldTraits<std::int64_t>::fromSql(value)));
    }
};

template <>
struct FieldTraits<Uuid> {
    static constexpr std::string_view sqlType = "BLOB";
    static constexpr bool nullable = false;
    static SqlValue toSql(const Uuid& value) { return Blob(value.bytes().begin(), value.bytes().end()); }
    static void bind(Statement& statement, int index, const Uuid& value) {
        statement.bindBytesInPlace(index, value.bytes().data(), value.bytes().size());
    }
    static Uuid fromSql(const SqlValue& value) {
        const auto* blob = std::get_if<Blob>(&value);
        if (blob == nullptr || blob->size() != 16) return Uuid();
        std::array<std::uint8_t, 16> bytes{};
        std::copy(blob->begin(), blob->end(), bytes.begin());
        return Uuid(bytes);
    }
};

/// Enumerations with raw values are kept as their raw value text. An unknown text reads as the
/// first case.
template <RawValueEnum E>
struct FieldTraits<E> {
    static constexpr std::string_view sqlType = "TEXT";
    static constexpr bool nullable = false;
    static SqlValue toSql(E value) { return std::string(rawValue(value)); }
    static void bind(Statement& statement, int index, E value) { statement.bindTextInPlace(index, rawValue(value)); }
    static E fromSql(const SqlValue& value) {
        const auto* text = std::get_if<std::string>(&value);
        return text ? fromRawValue<E>(*text).value_or(EnumTraits<E>::cases[0].first) : EnumTraits<E>::cases[0].first;
    }
};

template <typename T>
struct FieldTraits<std::optional<T>> {
    static constexpr std::string_view sqlType = FieldTraits<T>::sqlType;
    static constexpr bool nullable = true;
    static SqlValue toSql(const std::optional<T>& value) { return value ? FieldTraits<T>::toSql(*value) : SqlValue{}; }
    static void bind(Statement& statement, int index, const std::optional<T>& value) {
        if (value) {
            FieldTraits<T>::bind(statement, index, *value);
        } else {
            statement.bindNull(index);
        }
    }
    static std::optional<T> fromSql(const SqlValue& value) {
        if (isNull(value)) return std::nullopt;
        if constexpr (RawValueEnum<T>) {
            // An optional enumeration reads an unknown text as absent rather than as a case.
            const auto* text = std::get_if<std::string>(&value);
            return text ? fromRawValue<T>(*text) : std::nullopt;
        } else {
            return FieldTraits<T>::fromSql(value);
        }
    }
};

namespace detail {

template <typename T>
struct IsOptional : std::false_type {};
template <typename T>
struct IsOptional<std::optional<T>> : std::true_type {};

} // namespace detail

/// Whether `stored` is what `FieldTraits<T>::toSql(value)` gives. Texts and bytes are compared in
/// place rather than copied: a save compares every column of every record it holds.
template <typename T>
bool equalsStored(const T& value, const SqlValue& stored) {
    if constexpr (detail::IsOptional<T>::value) {
        return value ? equalsStored(*value, stored) : isNull(stored);
    } else if constexpr (std::is_same_v<T, std::string>) {
        const auto* text = std::get_if<std::string>(&stored);
        return text != nullptr && *text == value;
    } else if constexpr (RawValueEnum<T>) {
        const auto* text = std::get_if<std::string>(&stored);
        return text != nullptr && *text == rawValue(value);
    } else if constexpr (std::is_same_v<T, Uuid>) {
        const auto* blob = std::get_if<Blob>(&stored);
        return blob != nullptr && std::equal(blob->begin(), blob->end(), value.bytes().begin(), value.bytes().end());
    } else {
        return FieldTraits<T>::toSql(value) == stored;
    }
}

} // namespace norvane::platform
