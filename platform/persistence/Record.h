#pragma once

#include "platform/persistence/SqlValue.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace norvane::platform {

class ModelContext;
class Statement;
struct EntityInfo;

/// Base of every stored record. Holds the bookkeeping of the persistence layer: the row's key,
/// the context the record lives in, and the column values last read or written (to find
/// modified records at save time). Records are shared objects: one per row per context.
class Record : public std::enable_shared_from_this<Record> {
public:
    virtual ~Record() = default;
    Record() = default;
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    virtual const EntityInfo& entityInfo() const = 0;
    /// The values of every column, in the entity's column order.
    virtual std::vector<SqlValue> columnValues() const = 0;
    /// Binds what `columnValues()` gives to parameters 1 to N of `statement`, without building it:
    /// texts and bytes in place, so the record must stay unchanged until the statement has run.
    virtual void bindColumnValues(Statement& statement) const = 0;
    /// Whether `columnValues()` would equal `values`, found without building them.
    virtual bool equalsColumnValues(const std::vector<SqlValue>& values) const = 0;
    /// Sets every column from stored values; relationships are resolved through `context`.
    virtual void assignColumnValues(const std::vector<SqlValue>& values, ModelContext& context) = 0;
    /// Sets one attribute column (not a relationship) from a stored value.
    virtual void assignColumnValue(std::size_t column, const SqlValue& value, ModelContext& context) = 0;
    /// The record a relationship column points to, or null.
    virtual Record* relatedRecord(std::size_t column) const = 0;
    virtual std::shared_ptr<Record> relatedRecordShared(std::size_t column) const = 0;
    /// Empties a relationship column (its target was deleted).
    virtual void clearRelation(std::size_t column) = 0;

    /// The context the record was inserted into or fetched by; null before insertion.
    ModelContext* modelContext() const { return context_; }
    /// The row's key, 0 while the record has never been saved.
    std::int64_t persistentKey() const { return key_; }
    bool isDeleted() const { return deleted_; }

private:
    friend class ModelContext;
    ModelContext* context_ = nullptr;
    std::int64_t key_ = 0;
    bool deleted_ = false;
    /// Let go by its context once a save has written it.
    bool released_ = false;
    /// The opening of the store file that its key belongs to (see ModelContainer::opening).
    std::uint64_t opening_ = 0;
    std::vector<SqlValue> persistedValues_;
};

} // namespace norvane::platform
