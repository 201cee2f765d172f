#include "platform/persistence/ModelContext.h"

#include "platform/persistence/StoreError.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace norvane::platform {
namespace {

std::string selectColumns(const EntityInfo& entity) {
    std::string columns = "pk";
    for (const auto& column : entity.columns) columns += ", \"" + column.name + "\"";
    return columns;
}

std::string insertStatement(const EntityInfo& entity) {
    std::string names;
    std::string placeholders;
    for (const auto& column : entity.columns) {
        names += (names.empty() ? "\"" : ", \"") + column.name + "\"";
        placeholders += placeholders.empty() ? "?" : ", ?";
    }
    return "INSERT INTO \"" + entity.table + "\" (" + names + ") VALUES (" + placeholders + ")";
}

std::string updateStatement(const EntityInfo& entity) {
    std::string assignments;
    for (const auto& column : entity.columns) {
        assignments += (assignments.empty() ? "\"" : ", \"") + column.name + "\" = ?";
    }
    return "UPDATE \"" + entity.table + "\" SET " + assignments + " WHERE pk = ?";
}

std::string deleteStatement(const EntityInfo& entity) { return "DELETE FROM \"" + entity.table + "\" WHERE pk = ?"; }

/// The statements of one kind of change in one save: prepared once per table, reused from row
/// to row.
class TableStatements {
public:
    TableStatements(Database& database, std::string (*text)(const EntityInfo&)) : database_(database), text_(text) {}

    /// Binds `values`, and the row's key after them when given, and runs the table's statement.
    /// The values are read in place: the statement is done with them when this returns.
    void run(const EntityInfo& entity, const std::vector<SqlValue>& values, std::optional<std::int64_t> key = {}) {
        auto found = statements_.find(&entity);
        if (found == statements_.end()) {
            found = statements_.emplace(&entity, database_.prepare(text_(entity))).first;
        }
        auto& statement = found->second;
        statement.bindAllInPlace(values);
        if (key) statement.bind(static_cast<int>(values.size()) + 1, *key);
        statement.run();
        statement.reset();
    }

private:
    Database& database_;
    std::string (*text_)(const EntityInfo&);
    std::unordered_map<const EntityInfo*, Statement> statements_;
};

bool contains(const std::vector<std::shared_ptr<Record>>& records, const Record* record) {
    return std::any_of(records.begin(), records.end(), [record](const auto& r) { return r.get() == record; });
}

} // namespace

std::shared_ptr<Record> resolveRelated(ModelContext& context, const EntityInfo& target, std::int64_t key) {
    return context.resolve(target, key);
}

ModelContext::ModelContext(std::shared_ptr<ModelContainer> container) : container_(std::move(container)) {}

ModelContext::~ModelContext() {
    for (auto& [entity, records] : registered_) {
        for (auto& [key, record] : records) record->context_ = nullptr;
    }
    for (auto& record : inserted_) detach(*record);
}

void ModelContext::insert(const std::shared_ptr<Record>& record) {
    std::lock_guard lock(mutex_);
    if (record->context_ == this) {
        if (record->deleted_) {
            record->deleted_ = false;
            std::erase_if(deleted_, [&](const auto& r) { return r == record; });
        }
        return;
    }
    if (record->context_ != nullptr) {
        throw std::logic_error("A record cannot be inserted into a second context");
    }
    record->context_ = this;
    inserted_.push_back(record);
    const auto& columns = record->entityInfo().columns;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!columns[i].relationTarget) continue;
        auto related = record->relatedRecordShared(i);
        if (related && related->context_ == nullptr) insert(related);
    }
}

void ModelContext::remove(const std::shared_ptr<Record>& record) {
    std::lock_guard lock(mutex_);
    removeLocked(record);
}

void ModelContext::removeLocked(const std::shared_ptr<Record>& record) {
    if (record->context_ != this || record->deleted_) return;
    if (contains(inserted_, record.get())) {
        std::erase_if(inserted_, [&](const auto& r) { return r == record; });
        detach(*record);
        record->deleted_ = true;
    } else {
        record->deleted_ = true;
        deleted_.push_back(record);
    }
    unlinkReferences(*record);
}

void ModelContext::unlinkReferences(const Record& target) {
    const EntityInfo* targetEntity = &target.entityInfo();
    std::vector<std::shared_ptr<Record>> cascaded;
    auto visit = [&](const std::shared_ptr<Record>& candidate) {
        if (candidate->deleted_) return;
        const auto& columns = candidate->entityInfo().columns;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (!columns[i].relationTarget || columns[i].relationTarget() != targetEntity) continue;
            if (candidate->relatedRecord(i) != &target) continue;
            if (columns[i].deleteRule == DeleteRule::cascade) {
                cascaded.push_back(candidate);
            } else {
                candidate->clearRelation(i);
            }
        }
    };
    for (const EntityInfo* entity : container_->schema().entities) {
        const bool refers = std::any_of(entity->columns.begin(), entity->columns.end(), [&](const ColumnInfo& c) {
            return c.relationTarget && c.relationTarget() == targetEntity;
        });
        if (!refers) continue;
        for (auto& [key, record] : registered_[entity]) visit(record);
    }
    for (const auto& record : std::vector(inserted_)) visit(record);
    for (const auto& child : cascaded) removeLocked(child);
}

std::shared_ptr<Record> ModelContext::resolve(const EntityInfo& entity, std::int64_t key) {
    std::lock_guard lock(mutex_);
    auto& records = registered_[&entity];
    if (const auto found = records.find(key); found != records.end()) return found->second;
    ErasedFetch fetch{&entity, "pk = ?", {SqlValue(key)}, {}, 1, {}, {}};
    auto result = fetchErased(fetch);
    return result.empty() ? nullptr : result.front();
}

std::vector<std::shared_ptr<Record>> ModelContext::fetchErased(const ErasedFetch& fetch) {
    std::lock_guard lock(mutex_);
    const EntityInfo& entity = *fetch.entity;
    std::size_t deletedOfEntity = 0;
    for (const auto& record : deleted_) deletedOfEntity += &record->entityInfo() == &entity ? 1 : 0;

    std::string sql = "SELECT " + selectColumns(entity) + " FROM \"" + entity.table + "\"";
    if (!fetch.where.empty()) sql += " WHERE " + fetch.where;
    if (!fetch.orderBy.empty()) sql += " ORDER BY " + fetch.orderBy;
    // Rows deleted in this context are dropped after the query, so ask for that many more.
    if (fetch.limit) sql += " LIMIT " + std::to_string(*fetch.limit + deletedOfEntity);

    // Rows are read first and turned into objects after, because resolving a relationship
    // queries the same connection again.
    std::vector<std::pair<std::int64_t, std::vector<SqlValue>>> rows;
    container_->withDatabase([&](Database& database) {
        auto statement = database.prepare(sql);
        statement.bindAll(fetch.arguments);
        while (statement.step()) {
            std::vector<SqlValue> values;
            values.reserve(entity.columns.size());
            for (std::size_t i = 0; i < entity.columns.size(); ++i)
                values.push_back(statement.column(static_cast<int>(i + 1)));
            rows.emplace_back(std::get<std::int64_t>(statement.column(0)), std::move(values));
        }
    });

    std::vector<std::shared_ptr<Record>> result;
    result.reserve(rows.size());
    for (auto& [key, values] : rows) {
        auto record = materialize(entity, key, std::move(values));
        if (!record->deleted_) result.push_back(std::move(record));
    }
    bool addedPending = false;
    for (const auto& record : inserted_) {
        if (&record->entityInfo() != &entity) continue;
        if (fetch.matches && !fetch.matches(*record)) continue;
        result.push_back(record);
        addedPending = true;
    }
    if (addedPending && fetch.before) {
        std::stable_sort(result.begin(), result.end(),
                         [&](const auto& a, const auto& b) { return fetch.before(*a, *b); });
    }
    if (fetch.limit && result.size() > *fetch.limit) result.resize(*fetch.limit);
    return result;
}

std::shared_ptr<Record> ModelContext::materialize(const EntityInfo& entity, std::int64_t key,
                                                  std::vector<SqlValue> values) {
    auto& records = registered_[&entity];
    if (const auto found = records.find(key); found != records.end()) {
        Record& record = *found->second;
        // An unmodified object takes the row's current values (another connection may have
        // changed it); a modified one keeps its pending values.
        if (record.equalsColumnValues(record.persistedValues_) && values != record.persistedValues_) {
            record.assignColumnValues(values, *this);
            record.persistedValues_ = std::move(values);
        }
        return found->second;
    }
    auto record = entity.make();
    record->context_ = this;
    record->key_ = key;
    records.emplace(key, record);
    record->assignColumnValues(values, *this);
    record->persistedValues_ = std::move(values);
    return record;
}

std::vector<std::shared_ptr<Record>> ModelContext::modifiedRecords() {
    std::vector<std::shared_ptr<Record>> modified;
    for (auto& [entity, records] : registered_) {
        for (auto& [key, record] : records) {
            if (!record->deleted_ && !record->equalsColumnValues(record->persistedValues_)) modified.push_back(record);
        }
    }
    return modified;
}

bool ModelContext::hasChanges() {
    std::lock_guard lock(mutex_);
    return !inserted_.empty() || !deleted_.empty() || !modifiedRecords().empty();
}

void ModelContext::save() {
    StoreChange change;
    {
        std::lock_guard lock(mutex_);
        const auto modified = modifiedRecords();
        if (inserted_.empty() && deleted_.empty() && modified.empty()) return;
        try {
            change = writeChanges(modified);
        } catch (...) {
            rollbackLocked();
            throw;
        }
    }
    container_->notify(change);
}

std::vector<std::shared_ptr<Record>> ModelContext::insertsInTableOrder() const {
    // Parents before the records that point to them; the records of one table keep their order.
    std::vector<std::vector<std::shared_ptr<Record>>> byTable(container_->schema().entities.size() + 1);
    for (const auto& record : inserted_) {
        byTable[container_->entityOrder(record->entityInfo())].push_back(record);
    }
    std::vector<std::shared_ptr<Record>> ordered;
    ordered.reserve(inserted_.size());
    for (auto& records : byTable) {
        std::move(records.begin(), records.end(), std::back_inserter(ordered));
    }
    return ordered;
}

StoreChange ModelContext::writeChanges(const std::vector<std::shared_ptr<Record>>& modified) {
    StoreChange change;
    const auto inserts = insertsInTableOrder();
    std::vector<std::vector<SqlValue>> insertedValues;
    std::vector<std::vector<SqlValue>> updatedValues;
    container_->withDatabase([&](Database& database) {
        Transaction transaction(database);
        TableStatements deletes(database, deleteStatement);
        TableStatements insertions(database, insertStatement);
        TableStatements updates(database, updateStatement);
        for (const auto& record : deleted_) {
            if (record->key_ == 0) continue;
            deletes.run(record->entityInfo(), {}, record->key_);
            change.entityNames.insert(record->entityInfo().name);
        }
        try {
            for (const auto& record : inserts) {
                auto values = record->columnValues();
                insertions.run(record->entityInfo(), values);
                record->key_ = database.lastInsertRowId();
                insertedValues.push_back(std::move(values));
                change.entityNames.insert(record->entityInfo().name);
            }
            for (const auto& record : modified) {
                auto values = record->columnValues();
                updates.run(record->entityInfo(), values, record->key_);
                updatedValues.push_back(std::move(values));
                change.entityNames.insert(record->entityInfo().name);
            }
            transaction.commit();
        } catch (...) {
            for (const auto& record : inserts) record->key_ = 0;
            throw;
        }
    });

    for (std::size_t i = 0; i < inserts.size(); ++i) {
        inserts[i]->persistedValues_ = std::move(insertedValues[i]);
        registered_[&inserts[i]->entityInfo()].emplace(inserts[i]->key_, inserts[i]);
    }
    for (std::size_t i = 0; i < modified.size(); ++i) modified[i]->persistedValues_ = std::move(updatedValues[i]);
    for (const auto& record : deleted_) {
        registered_[&record->entityInfo()].erase(record->key_);
        detach(*record);
    }
    inserted_.clear();
    deleted_.clear();
    return change;
}

void ModelContext::rollback() {
    std::lock_guard lock(mutex_);
    rollbackLocked();
}

void ModelContext::rollbackLocked() {
    for (const auto& record : inserted_) {
        detach(*record);
    }
    inserted_.clear();
    for (const auto& record : deleted_) record->deleted_ = false;
    deleted_.clear();
    for (const auto& record : modifiedRecords()) {
        record->assignColumnValues(record->persistedValues_, *this);
    }
}

void ModelContext::detach(Record& record) {
    record.context_ = nullptr;
    record.key_ = 0;
}

} // namespace norvane::platform
