#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace norvane::platform {

/// Raw bytes of a BLOB column.
using Blob = std::vector<std::uint8_t>;

/// One value as SQLite stores it: NULL, integer, real, text or blob.
using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string, Blob>;

inline bool isNull(const SqlValue& value) { return std::holds_alternative<std::monostate>(value); }

/// Orders values as SQLite does across storage classes: NULL < numbers < text < blob.
int compareSqlValues(const SqlValue& left, const SqlValue& right);

} // namespace norvane::platform
