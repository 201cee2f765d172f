#pragma once

#include "platform/persistence/Database.h"
#include "platform/persistence/FieldTraits.h"

namespace norvane::platform {

/// One row of a plain query's result (`ModelContainer::query`), read column by column without
/// making records. Columns are read as the fields of their type are: leniently, by FieldTraits.
class QueryRow {
public:
    explicit QueryRow(const Statement& statement) : statement_(statement) {}

    /// Column `index` (0-based) as a field of type T.
    template <typename T>
    T get(int index) const {
        return FieldTraits<T>::fromSql(statement_.column(index));
    }
    bool isNull(int index) const { return platform::isNull(statement_.column(index)); }

private:
    const Statement& statement_;
};

} // namespace norvane::platform
