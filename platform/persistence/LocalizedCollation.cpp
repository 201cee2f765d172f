#include "platform/persistence/LocalizedCollation.h"

#include <memory>

#include <sqlite3.h>
#include <unicode/coll.h>
#include <unicode/locid.h>

namespace norvane::platform {
namespace {

std::unique_ptr<icu::Collator> makeCollator() {
    UErrorCode status = U_ZERO_ERROR;
    // The C locale maps to ICU's POSIX tailoring, which orders like bytes; use the root order then.
    icu::Locale locale = icu::Locale::getDefault();
    if (std::string_view(locale.getName()) == "en_US_POSIX") locale = icu::Locale::getRoot();
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status) || !collator) {
        status = U_ZERO_ERROR;
        collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    if (collator) {
        // Secondary strength ignores case but keeps accents; numeric ordering compares digit runs by value.
        collator->setStrength(icu::Collator::SECONDARY);
        collator->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
    }
    return collator;
}

// Collators are not safe for concurrent use; each thread keeps its own.
icu::Collator* threadCollator() {
    thread_local std::unique_ptr<icu::Collator> collator = makeCollator();
    return collator.get();
}

int collate(void*, int leftLength, const void* left, int rightLength, const void* right) {
    return localizedStandardCompare(
        std::string_view(static_cast<const char*>(left), static_cast<std::size_t>(leftLength)),
        std::string_view(static_cast<const char*>(right), static_cast<std::size_t>(rightLength)));
}

} // namespace

int localizedStandardCompare(std::string_view left, std::string_view right) {
    icu::Collator* collator = threadCollator();
    if (collator == nullptr) {
        return left.compare(right) < 0 ? -1 : (left == right ? 0 : 1);
    }
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result =
        collator->compareUTF8(icu::StringPiece(left.data(), static_cast<int32_t>(left.size())),
                              icu::StringPiece(right.data(), static_cast<int32_t>(right.size())), status);
    if (U_FAILURE(status)) {
        return left.compare(right) < 0 ? -1 : (left == right ? 0 : 1);
    }
    if (result == UCOL_EQUAL) {
        // Names that differ only in case still get a fixed order.
        return left.compare(right) < 0 ? -1 : (left == right ? 0 : 1);
    }
    return result == UCOL_LESS ? -1 : 1;
}

void registerLocalizedCollation(sqlite3* connection) {
    sqlite3_create_collation_v2(connection, localizedCollationName.data(), SQLITE_UTF8, nullptr, collate, nullptr);
}

} // namespace norvane::platform
