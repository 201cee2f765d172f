#pragma once

#include "platform/persistence/Entity.h"
#include "platform/persistence/LocalizedCollation.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norvane::platform {

/// A filter on records of type R that translates to a SQL WHERE clause and can also be evaluated
/// on objects in memory (the context's pending inserts), with the same meaning.
template <typename R>
struct Predicate {
    std::string sql;
    std::vector<SqlValue> arguments;
    std::function<bool(const R&)> matches;
};

namespace detail {

inline std::string quoted(std::string_view name) {
    std::string text;
    text.reserve(name.size() + 2);
    text.append(1, '"').append(name).append(1, '"');
    return text;
}

template <typename T>
struct IsSharedPointer : std::false_type {};
template <typename T>
struct IsSharedPointer<std::shared_ptr<T>> : std::true_type {};

template <typename T>
concept ComparableValue = !IsSharedPointer<T>::value;

template <typename R, typename T, typename Compare>
Predicate<R> compareField(Field<R, T> field, const T& value, std::string_view op, Compare compare) {
    const SqlValue sqlValue = FieldTraits<T>::toSql(value);
    auto matches = [member = field.member, sqlValue, compare](const R& record) {
        const SqlValue current = FieldTraits<T>::toSql(record.*member);
        // A NULL never satisfies a comparison, as in SQL.
        return !isNull(current) && !isNull(sqlValue) && compare(compareSqlValues(current, sqlValue));
    };
    return {detail::quoted(field.name) + " " + std::string(op) + " ?", {sqlValue}, std::move(matches)};
}

} // namespace detail

// Comparisons of a field with a value. For optional fields the value is the optional itself.
template <typename R, detail::ComparableValue T>
Predicate<R> operator==(Field<R, T> field, const std::type_identity_t<T>& value) {
    return detail::compareField(field, value, "=", [](int c) { return c == 0; });
}
template <typename R, detail::ComparableValue T>
Predicate<R> operator!=(Field<R, T> field, const std::type_identity_t<T>& value) {
    return detail::compareField(field, value, "<>", [](int c) { return c != 0; });
}
template <typename R, detail::ComparableValue T>
Predicate<R> operator<(Field<R, T> field, const std::type_identity_t<T>& value) {
    return detail::compareField(field, value, "<", [](int c) { return c < 0; });
}
template <typename R, detail::ComparableValue T>
Predicate<R> operator<=(Field<R, T> field, const std::type_identity_t<T>& value) {
    return detail::compareField(field, value, "<=", [](int c) { return c <= 0; });
}
template <typename R, detail::ComparableValue T>
Predicate<R> operator>(Field<R, T> field, const std::type_identity_t<T>& value) {
    return detail::compareField(field, value, ">", [](int c) { return c > 0; });
}
template <typename R, detail::ComparableValue T>
Predicate<R> operator>=(Field<R, T> field, const std::type_identity_t<T>& value) {
    return detail::compareField(field, value, ">=", [](int c) { return c >= 0; });
}

/// Records whose relationship points to `target` (matched by identity; a target that was never
/// saved matches only pending records).
template <typename R, typename P>
Predicate<R> operator==(Field<R, std::shared_ptr<P>> field, const std::shared_ptr<P>& target) {
    if (!target) {
        return {
            detail::quoted(field.name) + " IS NULL", {}, [member = field.member](const R& r) { return !(r.*member); }};
    }
    const P* raw = target.get();
    return {detail::quoted(field.name) + " = ?",
            {SqlValue(target->persistentKey())},
            [member = field.member, raw](const R& r) { return (r.*member).get() == raw; }};
}

template <typename R>
Predicate<R> operator&&(Predicate<R> left, Predicate<R> right) {
    Predicate<R> result{"(" + left.sql + ") AND (" + right.sql + ")", std::move(left.arguments), {}};
    result.arguments.insert(result.arguments.end(), right.arguments.begin(), right.arguments.end());
    result.matches = [l = std::move(left.matches), r = std::move(right.matches)](const R& record) {
        return l(record) && r(record);
    };
    return result;
}

template <typename R>
Predicate<R> operator||(Predicate<R> left, Predicate<R> right) {
    Predicate<R> result{"(" + left.sql + ") OR (" + right.sql + ")", std::move(left.arguments), {}};
    result.arguments.insert(result.arguments.end(), right.arguments.begin(), right.arguments.end());
    result.matches = [l = std::move(left.matches), r = std::move(right.matches)](const R& record) {
        return l(record) || r(record);
    };
    return result;
}

/// Records whose field is NULL.
template <typename R, typename T>
Predicate<R> isAbsent(Field<R, std::optional<T>> field) {
    return {detail::quoted(field.name) + " IS NULL", {}, [member = field.member](const R& r) { return !(r.*member); }};
}

/// One key of a sort order.
template <typename R>
struct SortDescriptor {
    std::string sql;
    std::function<int(const R&, const R&)> compare;
};

template <typename R, typename T>
SortDescriptor<R> ascending(Field<R, T> field) {
    return {detail::quoted(field.name) + " ASC", [member = field.member](const R& a, const R& b) {
                return compareSqlValues(FieldTraits<T>::toSql(a.*member), FieldTraits<T>::toSql(b.*member));
            }};
}

template <typename R, typename T>
SortDescriptor<R> descending(Field<R, T> field) {
    return {detail::quoted(field.name) + " DESC", [member = field.member](const R& a, const R& b) {
                return compareSqlValues(FieldTraits<T>::toSql(b.*member), FieldTraits<T>::toSql(a.*member));
            }};
}

/// Ascending in the localized standard order of names.
template <typename R>
SortDescriptor<R> localizedAscending(Field<R, std::string> field) {
    return {detail::quoted(field.name) + " COLLATE " + std::string(localizedCollationName) + " ASC",
            [member = field.member](const R& a, const R& b) { return localizedStandardCompare(a.*member, b.*member); }};
}

/// What to fetch: an optional filter, a sort order and an optional limit.
template <typename R>
struct FetchDescriptor {
    std::optional<Predicate<R>> predicate;
    std::vector<SortDescriptor<R>> sortBy;
    std::optional<std::size_t> limit;
};

} // namespace norvane::platform
