#include "tests/support/StoreIntegrity.h"

#include <sqlite3.h>

namespace norvane::testing {

std::string integrityOf(const std::filesystem::path& file) {
    sqlite3* connection = nullptr;
    sqlite3_open_v2(file.c_str(), &connection, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(connection, "PRAGMA integrity_check", -1, &check, nullptr);
    std::string result = sqlite3_step(check) == SQLITE_ROW
                             ? reinterpret_cast<const char*>(sqlite3_column_text(check, 0))
                             : sqlite3_errmsg(connection);
    sqlite3_finalize(check);
    sqlite3_close(connection);
    return result;
}

} // namespace norvane::testing
