#include "platform/persistence/ModelContext.h"

#include "platform/persistence/StoreError.h"

#include <sqlite3.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <stdexcept>

namespace norvane::platform {
namespace {

std::string selectColumns(const EntityInfo& entity) {
    std::string columns = "pk";
    for (const auto& column : entity.columns) columns += ", \"" + column.name + "\"";
    return columns;
}

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

std::string insertStatement(const EntityInfo& entity, std::uint64_t) {
    std::string names;
    std::string placeholders;
    for (const auto& column : entity.columns) {
        names += quoted(column.name) + ", ";
        placeholders += "?, ";
    }
    std::string sql = "INSERT INTO " + quoted(entity.table) + " (" + names + "pk) VALUES (" + placeholders + "?)";
    const IndexInfo* replacing = entity.replacingIndex();
    if (!replacing) return sql;
    // The row that holds these values already takes the new ones and keeps its key and id.
    std::string target;
    for (const auto& column : replacing->columns) target += (target.empty() ? "" : ", ") + quoted(column);
    std::string assignments;
    for (const auto& column : entity.columns) {
        const bool key =
            std::find(replacing->columns.begin(), replacing->columns.end(), column.name) != replacing->columns.end();
        if (key || column.identity) continue;
        assignments += (assignments.empty() ? "" : ", ") + quoted(column.name) + " = excluded." + quoted(column.name);
    }
    return sql + " ON CONFLICT (" + target + ") DO UPDATE SET " + assignments;
}

/// Matches the row by its key and, where the entity has one, by the record's id as last read.
std::string rowCondition(const EntityInfo& entity) {
    std::string condition = " WHERE pk = ?";
    if (entity.identityColumn) condition += " AND " + quoted(entity.columns[*entity.identityColumn].name) + " = ?";
    return condition;
}

std::string updateStatement(const EntityInfo& entity, std::uint64_t columns) {
    std::string assignments;
    for (std::size_t i = 0; i < entity.columns.size(); ++i) {
        if ((columns >> i & 1U) == 0) continue;
        assignments += (assignments.empty() ? "" : ", ") + quoted(entity.columns[i].name) + " = ?";
    }
    return "UPDATE " + quoted(entity.table) + " SET " + assignments + rowCondition(entity);
}

std::string deleteStatement(const EntityInfo& entity, std::uint64_t) {
    return "DELETE FROM " + quoted(entity.table) + rowCondition(entity);
}

/// The statements of one kind of change in one save: prepared once per table (and set of
/// columns), reused from row to row.
class StatementCache {
public:
    StatementCache(Database& database, std::string (*text)(const EntityInfo&, std::uint64_t))
        : database_(database), text_(text) {}

    Statement& get(const EntityInfo& entity, std::uint64_t columns = 0) {
        const auto key = std::pair(&entity, columns);
        auto found = statements_.find(key);
        if (found == statements_.end()) {
            found = statements_.emplace(key, database_.prepare(text_(entity, columns))).first;
        }
        return found->second;
    }

private:
    Database& database_;
    std::string (*text_)(const EntityInfo&, std::uint64_t);
    std::map<std::pair<const EntityInfo*, std::uint64_t>, Statement> statements_;
};

/// Binds the row's key and the id it was read with after the first `used` parameters.
void bindRow(Statement& statement, int used, const Record& record, const std::vector<SqlValue>& persisted) {
    statement.bind(used + 1, record.persistentKey());
    if (const auto identity = record.entityInfo().identityColumn) statement.bind(used + 2, persisted[*identity]);
}

/// Counts one call under way for as long as it lives.
class UnderWay {
public:
    explicit UnderWay(std::size_t& count) : count_(count) { ++count_; }
    ~UnderWay() { --count_; }
    UnderWay(const UnderWay&) = delete;
    UnderWay& operator=(const UnderWay&) = delete;

private:
    std::size_t& count_;
};

bool contains(const std::vector<std::shared_ptr<Record>>& records, const Record* record) {
    return std::any_of(records.begin(), records.end(), [record](const auto& r) { return r.get() == record; });
}

/// Hands out row keys above every key that a table ever had, and keeps the highest one in the
/// keys table, within the save's transaction.
class KeyAllocator {
public:
    explicit KeyAllocator(Database& database) : database_(database) {}

    std::int64_t next(const EntityInfo& entity) {
        auto [entry, fresh] = lastKeys_.try_emplace(&entity, 0);
        if (fresh) entry->second = highestKey(entity);
        return ++entry->second;
    }

    void store() {
        if (lastKeys_.empty()) return;
        auto statement = database_.prepare("INSERT OR REPLACE INTO " + std::string(keysTable) +
                                           " (\"table\", lastKey) VALUES (?, ?)");
        for (const auto& [entity, key] : lastKeys_) {
            statement.bind(1, entity->table);
            statement.bind(2, key);
            statement.run();
            statement.reset();
        }
    }

private:
    std::int64_t highestKey(const EntityInfo& entity) {
        auto statement = database_.prepare("SELECT max(coalesce((SELECT lastKey FROM " + std::string(keysTable) +
                                           " WHERE \"table\" = ?), 0), coalesce((SELECT max(pk) FROM " +
                                           quoted(entity.table) + "), 0))");
        statement.bind(1, entity.table);
        statement.step();
        return std::get<std::int64_t>(statement.column(0));
    }

    Database& database_;
    std::map<const EntityInfo*, std::int64_t> lastKeys_;
};

/// Inserts the record's row under `key` and returns the row's key. Its values are bound from
/// `values` when they were made, else from the record itself. When the entity replaces rows by an
/// index and one held these values, that row was updated instead: it keeps its key, and `values`
/// then carries the record's values with the id that row keeps.
std::int64_t runInsert(Database& database, Statement& statement, std::int64_t key, const Record& record,
                       std::vector<SqlValue>& values) {
    const EntityInfo& entity = record.entityInfo();
    database.setLastInsertRowId(0);
    if (values.empty()) {
        record.bindColumnValues(statement);
    } else {
        statement.bindAllInPlace(values);
    }
    statement.bindInteger(static_cast<int>(entity.columns.size()) + 1, key);
    statement.run();
    statement.reset();
    const IndexInfo* replacing = entity.replacingIndex();
    if (!replacing || database.lastInsertRowId() == key) return key;
    // The stored row took the values: it keeps its key and id.
    if (values.empty()) values = record.columnValues();
    std::string sql = "SELECT pk";
    if (entity.identityColumn) sql += ", " + quoted(entity.columns[*entity.identityColumn].name);
    sql += " FROM " + quoted(entity.table) + " WHERE ";
    std::vector<SqlValue> arguments;
    for (const auto& column : replacing->columns) {
        sql += (arguments.empty() ? "" : " AND ") + quoted(column) + " IS ?";
        const auto found = std::find_if(entity.columns.begin(), entity.columns.end(),
                                        [&](const ColumnInfo& info) { return info.name == column; });
        arguments.push_back(values[static_cast<std::size_t>(found - entity.columns.begin())]);
    }
    auto lookup = database.prepare(sql);
    lookup.bindAll(arguments);
    lookup.step();
    if (entity.identityColumn) values[*entity.identityColumn] = lookup.column(1);
    return std::get<std::int64_t>(lookup.column(0));
}

/// Writes the columns whose values differ from `persisted`; false when the row is gone.
bool runUpdate(Database& database, StatementCache& statements, const Record& record,
               const std::vector<SqlValue>& values, const std::vector<SqlValue>& persisted) {
    std::uint64_t columns = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] != persisted[i]) columns |= std::uint64_t{1} << i;
    }
    if (columns == 0) return true;
    auto& statement = statements.get(record.entityInfo(), columns);
    int used = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if ((columns >> i & 1U) != 0) statement.bind(++used, values[i]);
    }
    bindRow(statement, used, record, persisted);
    statement.run();
    const bool found = database.changes() > 0;
    statement.reset();
    return found;
}

} // namespace

std::shared_ptr<Record> resolveRelated(ModelContext& context, const EntityInfo& target, std::int64_t key) {
    return context.resolve(target, key);
}

ModelContext::ModelContext(std::shared_ptr<ModelContainer> container)
    : container_(std::move(container)), opening_(container_->opening()) {}

ModelContext::~ModelContext() {
    for (auto& [entity, records] : registered_) {
        for (auto& [key, record] : records) record->context_ = nullptr;
    }
    for (const auto& record : displacedRecords()) record->context_ = nullptr;
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

void ModelContext::insertWithoutKeeping(const std::shared_ptr<Record>& record) {
    std::lock_guard lock(mutex_);
    const bool fresh = record->context_ == nullptr;
    insert(record);
    if (fresh) record->released_ = true;
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

void ModelContext::removeLoaded(const EntityInfo& entity, const std::function<bool(const Record&)>& matches) {
    std::vector<std::shared_ptr<Record>> matching;
    for (const auto& [key, record] : registered_[&entity]) {
        if (!record->deleted_ && matches(*record)) matching.push_back(record);
    }
    for (const auto& record : inserted_) {
        if (&record->entityInfo() == &entity && matches(*record)) matching.push_back(record);
    }
    for (const auto& record : matching) removeLocked(record);
}

std::string ModelContext::notBulkDeleted(const EntityInfo& entity, std::vector<SqlValue>& arguments) const {
    std::string condition;
    for (const auto& bulk : bulkDeletes_) {
        if (bulk.entity != &entity) continue;
        // A condition that comes out NULL deletes nothing, so it must leave the row in.
        condition += (condition.empty() ? "" : " AND ") + std::string("NOT coalesce((") + bulk.where + "), 0)";
        arguments.insert(arguments.end(), bulk.arguments.begin(), bulk.arguments.end());
    }
    return condition;
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
    auto arguments = fetch.arguments;
    const auto kept = notBulkDeleted(entity, arguments);
    if (!fetch.where.empty() || !kept.empty()) {
        sql +=
            " WHERE " + (fetch.where.empty() ? kept : "(" + fetch.where + ")" + (kept.empty() ? "" : " AND " + kept));
    }
    if (!fetch.orderBy.empty()) sql += " ORDER BY " + fetch.orderBy;
    // Rows deleted in this context are dropped after the query, so ask for that many more.
    if (fetch.limit) sql += " LIMIT " + std::to_string(*fetch.limit + deletedOfEntity);

    // Rows are read first and turned into objects after, because resolving a relationship
    // queries the same connection again.
    std::vector<std::pair<std::int64_t, std::vector<SqlValue>>> rows;
    const bool outermost = fetching_ == 0;
    const UnderWay fetching(fetching_);
    container_->withDatabase([&](Database& database) {
        if (outermost) {
            followOpening();
        } else if (container_->opening() != opening_) {
            // The rows being made into records belong to the opening before.
            throw replaced("these records were read");
        }
        auto statement = database.prepare(sql);
        statement.bindAll(arguments);
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
    record->opening_ = opening_;
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
    return !inserted_.empty() || !deleted_.empty() || !bulkDeletes_.empty() || !modifiedRecords().empty() ||
           !changedDisplacedRecords().empty();
}

void ModelContext::save() {
    if (hasChanges()) save([] {});
}

void ModelContext::save(const std::function<void()>& stage) {
    StoreChange change;
    {
        std::lock_guard lock(mutex_);
        // The file is followed, and what is written decided, with the connection in use.
        container_->withDatabase([&](Database& database) {
            followOpening();
            try {
                container_->requireWritable();
                change = writeChanges(database, stage);
            } catch (...) {
                rollbackLocked();
                throw;
            }
        });
    }
    if (!change.entityNames.empty()) container_->notify(change);
}

void ModelContext::followOpening() {
    const auto current = container_->opening();
    if (current == opening_) return;
    opening_ = current;
    for (const auto& [entity, records] : registered_) {
        for (const auto& [key, record] : records) displaced_.push_back(record);
    }
    registered_.clear();
    std::erase_if(displaced_, [](const auto& record) { return record.expired(); });
}

std::vector<std::shared_ptr<Record>> ModelContext::displacedRecords() const {
    std::vector<std::shared_ptr<Record>> records;
    for (const auto& weak : displaced_) {
        if (auto record = weak.lock()) records.push_back(std::move(record));
    }
    return records;
}

std::vector<std::shared_ptr<Record>> ModelContext::changedDisplacedRecords() const {
    auto records = displacedRecords();
    std::erase_if(records, [](const auto& record) {
        return record->deleted_ || record->equalsColumnValues(record->persistedValues_);
    });
    return records;
}

void ModelContext::refuseChangesOfEarlierOpenings() const {
    const auto ofEarlierOpening = [this](const Record* record) {
        return record && record->key_ != 0 && record->opening_ != opening_;
    };
    bool refused =
        !changedDisplacedRecords().empty() ||
        std::any_of(deleted_.begin(), deleted_.end(), [&](const auto& r) { return ofEarlierOpening(r.get()); });
    for (const auto& record : inserted_) {
        const auto& columns = record->entityInfo().columns;
        for (std::size_t i = 0; i < columns.size() && !refused; ++i) {
            refused = columns[i].relationTarget && ofEarlierOpening(record->relatedRecord(i));
        }
    }
    if (refused) throw replaced("this change was made");
}

StoreMovedError ModelContext::replaced(const std::string& during) const {
    const auto& file = container_->file();
    return StoreMovedError::replaced(file ? file->string() : std::string("(in memory)"), during);
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

template <typename Write>
auto ModelContext::guarded(Database& database, const Record& record, Write&& write) {
    try {
        return write();
    } catch (const StoreError& error) {
        if (error.code() != SQLITE_CONSTRAINT_FOREIGNKEY) throw;
        throw MissingRecordError(missingMessage(missingEntity(database, record)), error.code());
    }
}

StoreChange ModelContext::writeChanges(Database& database, const std::function<void()>& stage) {
    StoreChange change;
    Transaction transaction(database);
    stage();
    refuseChangesOfEarlierOpenings();
    const auto modified = modifiedRecords();
    const auto inserts = insertsInTableOrder();
    std::vector<std::vector<SqlValue>> insertedValues;
    std::vector<std::vector<SqlValue>> updatedValues;
    writeDeletes(database, change);
    StatementCache updates(database, updateStatement);
    try {
        writeInserts(database, inserts, insertedValues, change);
        for (const auto& record : modified) {
            auto values = record->columnValues();
            const bool found = guarded(database, *record, [&] {
                return runUpdate(database, updates, *record, values, record->persistedValues_);
            });
            if (!found) throw MissingRecordError(missingMessage(record->entityInfo()));
            updatedValues.push_back(std::move(values));
            change.entityNames.insert(record->entityInfo().name);
        }
        container_->commit(transaction);
    } catch (...) {
        for (const auto& record : inserts) record->key_ = 0;
        throw;
    }

    for (std::size_t i = 0; i < inserts.size(); ++i) {
        if (inserts[i]->released_) {
            inserts[i]->context_ = nullptr;
            continue;
        }
        inserts[i]->opening_ = opening_;
        inserts[i]->persistedValues_ = std::move(insertedValues[i]);
        auto& slot = registered_[&inserts[i]->entityInfo()][inserts[i]->key_];
        // A replacing insert may have taken a row that this context had loaded: the new object
        // stands for it from now on.
        if (slot && slot != inserts[i]) detach(*slot);
        slot = inserts[i];
    }
    for (std::size_t i = 0; i < modified.size(); ++i) modified[i]->persistedValues_ = std::move(updatedValues[i]);
    for (const auto& record : deleted_) {
        registered_[&record->entityInfo()].erase(record->key_);
        detach(*record);
    }
    inserted_.clear();
    deleted_.clear();
    bulkDeletes_.clear();
    return change;
}

void ModelContext::writeInserts(Database& database, const std::vector<std::shared_ptr<Record>>& inserts,
                                std::vector<std::vector<SqlValue>>& insertedValues, StoreChange& change) {
    StatementCache statements(database, insertStatement);
    KeyAllocator keys(database);
    insertedValues.reserve(inserts.size());
    const EntityInfo* entity = nullptr;
    Statement* statement = nullptr;
    for (const auto& record : inserts) {
        // The records come a table at a time.
        if (&record->entityInfo() != entity) {
            entity = &record->entityInfo();
            statement = &statements.get(*entity);
            change.entityNames.insert(entity->name);
        }
        // A record let go after the save needs no copy of what it stored: its row is bound from its
        // fields.
        auto values = record->released_ ? std::vector<SqlValue>{} : record->columnValues();
        const auto key = keys.next(*entity);
        record->key_ =
            guarded(database, *record, [&] { return runInsert(database, *statement, key, *record, values); });
        if (record->key_ != key) adoptStoredIdentity(*record, values);
        insertedValues.push_back(std::move(values));
    }
    keys.store();
}

void ModelContext::writeDeletes(Database& database, StoreChange& change) {
    StatementCache deletes(database, deleteStatement);
    for (const auto& record : deleted_) {
        if (record->key_ == 0) continue;
        // A row that another connection deleted already is gone either way.
        auto& statement = deletes.get(record->entityInfo());
        bindRow(statement, 0, *record, record->persistedValues_);
        statement.run();
        statement.reset();
        change.entityNames.insert(record->entityInfo().name);
    }
    for (const auto& bulk : bulkDeletes_) {
        auto statement = database.prepare("DELETE FROM " + quoted(bulk.entity->table) + " WHERE " + bulk.where);
        statement.bindAll(bulk.arguments);
        statement.run();
        change.entityNames.insert(bulk.entity->name);
    }
}

const EntityInfo& ModelContext::missingEntity(Database& database, const Record& record) {
    const auto& columns = record.entityInfo().columns;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        auto target = columns[i].relationTarget ? record.relatedRecordShared(i) : nullptr;
        if (!target || target->key_ == 0) continue;
        const EntityInfo& entity = target->entityInfo();
        auto statement = database.prepare("SELECT 1 FROM " + quoted(entity.table) + rowCondition(entity));
        bindRow(statement, 0, *target, target->persistedValues_);
        if (!statement.step()) return entity;
    }
    return record.entityInfo();
}

std::string ModelContext::missingMessage(const EntityInfo& entity) const {
    const auto& file = container_->file();
    return "A " + entity.name + " record was deleted by another program while this one changed it (" +
           (file ? file->string() : std::string("in memory")) + "); nothing was saved";
}

void ModelContext::adoptStoredIdentity(Record& record, const std::vector<SqlValue>& values) {
    const auto identity = record.entityInfo().identityColumn;
    if (identity && !record.equalsColumnValues(values)) record.assignColumnValue(*identity, values[*identity], *this);
}

void ModelContext::rollbackLocked() {
    for (const auto& record : inserted_) {
        detach(*record);
    }
    inserted_.clear();
    for (const auto& record : deleted_) record->deleted_ = false;
    deleted_.clear();
    bulkDeletes_.clear();
    for (const auto& record : modifiedRecords()) {
        record->assignColumnValues(record->persistedValues_, *this);
    }
    // Their relationships cannot be read back from this opening: they stay as they are, never to
    // be saved.
    displaced_.clear();
}

void ModelContext::detach(Record& record) {
    record.context_ = nullptr;
    record.key_ = 0;
}

} // namespace norvane::platform
