#pragma once

#include <string_view>

struct sqlite3;

namespace norvane::platform {

/// The "localized standard" order of names: case-insensitive, runs of digits by their value
/// ("alpha" < "Project2" < "project10"), following the user's locale.
int localizedStandardCompare(std::string_view left, std::string_view right);

/// Name of the SQLite collation that applies the same order.
inline constexpr std::string_view localizedCollationName = "NORVANE_LOCALIZED";

/// Registers that collation on a connection.
void registerLocalizedCollation(sqlite3* connection);

} // namespace norvane::platform
