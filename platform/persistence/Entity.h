#pragma once

#include "platform/persistence/FieldTraits.h"
#include "platform/persistence/Record.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace norvane::platform {

class ModelContext;
struct EntityInfo;

/// What deleting the target of a relationship does to the records that point to it.
enum class DeleteRule { cascade, nullify };

/// The type-erased description of one column, used to create tables and write rows.
struct ColumnInfo {
    std::string name;
    std::string sqlType;
    bool nullable = false;
    bool unique = false;
    bool identity = false; ///< the record's own unique id, which every update and delete also matches
    const EntityInfo* (*relationTarget)() = nullptr; ///< set for relationship columns
    DeleteRule deleteRule = DeleteRule::cascade;
};

struct IndexInfo {
    std::vector<std::string> columns;
    bool unique = false;
    /// Unique, and a new record whose values of these columns are already stored takes that row
    /// instead: it is updated with the new record's values, and the record adopts its key and id.
    bool replaces = false;
};

/// The type-erased description of a record type: its table, columns and indexes.
struct EntityInfo {
    std::string name;
    std::string table;
    std::vector<ColumnInfo> columns;
    std::vector<IndexInfo> indexes;
    std::function<std::shared_ptr<Record>()> make;
    std::optional<std::size_t> identityColumn;

    /// The index that new records replace stored rows by, if any.
    const IndexInfo* replacingIndex() const {
        for (const auto& index : indexes) {
            if (index.replaces) return &index;
        }
        return nullptr;
    }
};

/// A stored field of record type R: its column name and the member that holds it. Predicates and
/// sort orders are built from fields, so the same name serves SQL and in-memory evaluation.
template <typename R, typename T>
struct Field {
    std::string_view name;
    T R::*member;
};

/// A type-erased column of R, made from a Field by `attribute` or `relationship`.
template <typename R>
struct ColumnBinding {
    ColumnInfo info;
    std::function<SqlValue(const R&)> read;
    std::function<void(const R&, Statement&, int)> bind;   ///< binds what `read` gives, in place
    std::function<bool(const R&, const SqlValue&)> equals; ///< whether `read` would give the value
    std::function<void(R&, const SqlValue&, ModelContext&)> write;
    std::function<std::shared_ptr<Record>(const R&)> related;
    std::function<void(R&)> clear;
};

struct ColumnOptions {
    bool unique = false;
    bool identity = false; ///< implies unique
};

template <typename R, typename T>
ColumnBinding<R> attribute(Field<R, T> field, ColumnOptions options = {}) {
    using Traits = FieldTraits<T>;
    ColumnBinding<R> binding;
    binding.info = ColumnInfo{std::string(field.name), std::string(Traits::sqlType), Traits::nullable,
                              options.unique || options.identity};
    binding.info.identity = options.identity;
    binding.read = [member = field.member](const R& record) { return Traits::toSql(record.*member); };
    binding.bind = [member = field.member](const R& record, Statement& statement, int index) {
        Traits::bind(statement, index, record.*member);
    };
    binding.equals = [member = field.member](const R& record, const SqlValue& value) {
        return equalsStored(record.*member, value);
    };
    binding.write = [member = field.member](R& record, const SqlValue& value, ModelContext&) {
        record.*member = Traits::fromSql(value);
    };
    return binding;
}

/// Resolves a stored key of entity `target` to the context's object for that row (declared in
/// ModelContext.h; kept here as a function so Entity.h need not include the context).
std::shared_ptr<Record> resolveRelated(ModelContext& context, const EntityInfo& target, std::int64_t key);

/// A to-one relationship kept as the target row's key. `rule` says what deleting the target does.
template <typename R, typename P>
ColumnBinding<R> relationship(Field<R, std::shared_ptr<P>> field, DeleteRule rule) {
    ColumnBinding<R> binding;
    binding.info =
        ColumnInfo{std::string(field.name), "INTEGER", true, false, false, [] { return &P::entity().info(); }, rule};
    const auto member = field.member;
    binding.read = [member](const R& record) -> SqlValue {
        const auto& target = record.*member;
        return target ? SqlValue(target->persistentKey()) : SqlValue{};
    };
    binding.bind = [member](const R& record, Statement& statement, int index) {
        const auto& target = record.*member;
        if (target) {
            statement.bindInteger(index, target->persistentKey());
        } else {
            statement.bindNull(index);
        }
    };
    binding.equals = [member](const R& record, const SqlValue& value) {
        const auto& target = record.*member;
        return target ? value == SqlValue(target->persistentKey()) : isNull(value);
    };
    binding.write = [member](R& record, const SqlValue& value, ModelContext& context) {
        const auto* key = std::get_if<std::int64_t>(&value);
        record.*member =
            key ? std::dynamic_pointer_cast<P>(resolveRelated(context, P::entity().info(), *key)) : nullptr;
    };
    binding.related = [member](const R& record) -> std::shared_ptr<Record> { return record.*member; };
    binding.clear = [member](R& record) { (record.*member).reset(); };
    return binding;
}

/// The full description of record type R: one list of columns that serves the schema, reading,
/// writing and predicates.
template <typename R>
class Entity {
public:
    Entity(std::string name, std::string table, std::vector<ColumnBinding<R>> columns,
           std::vector<IndexInfo> indexes = {})
        : columns_(std::move(columns)) {
        info_.name = std::move(name);
        info_.table = std::move(table);
        for (const auto& column : columns_) {
            if (column.info.identity) info_.identityColumn = info_.columns.size();
            info_.columns.push_back(column.info);
        }
        info_.indexes = std::move(indexes);
        info_.make = [] { return std::make_shared<R>(); };
    }

    const EntityInfo& info() const { return info_; }
    const std::vector<ColumnBinding<R>>& columns() const { return columns_; }

private:
    EntityInfo info_;
    std::vector<ColumnBinding<R>> columns_;
};

/// Base of a concrete record type R, which declares `static const Entity<R>& entity()`.
template <typename R>
class Model : public Record {
public:
    const EntityInfo& entityInfo() const override { return R::entity().info(); }

    std::vector<SqlValue> columnValues() const override {
        const auto& columns = R::entity().columns();
        std::vector<SqlValue> values;
        values.reserve(columns.size());
        for (const auto& column : columns) {
            values.push_back(column.read(self()));
        }
        return values;
    }

    void bindColumnValues(Statement& statement) const override {
        const auto& columns = R::entity().columns();
        for (std::size_t i = 0; i < columns.size(); ++i) {
            columns[i].bind(self(), statement, static_cast<int>(i + 1));
        }
    }

    bool equalsColumnValues(const std::vector<SqlValue>& values) const override {
        const auto& columns = R::entity().columns();
        if (values.size() != columns.size()) {
            return false;
        }
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (!columns[i].equals(self(), values[i])) return false;
        }
        return true;
    }

    void assignColumnValues(const std::vector<SqlValue>& values, ModelContext& context) override {
        const auto& columns = R::entity().columns();
        for (std::size_t i = 0; i < columns.size() && i < values.size(); ++i) {
            columns[i].write(mutableSelf(), values[i], context);
        }
    }

    void assignColumnValue(std::size_t column, const SqlValue& value, ModelContext& context) override {
        R::entity().columns()[column].write(mutableSelf(), value, context);
    }

    Record* relatedRecord(std::size_t column) const override { return relatedRecordShared(column).get(); }

    std::shared_ptr<Record> relatedRecordShared(std::size_t column) const override {
        const auto& binding = R::entity().columns()[column];
        return binding.related ? binding.related(self()) : nullptr;
    }

    void clearRelation(std::size_t column) override {
        const auto& binding = R::entity().columns()[column];
        if (binding.clear) binding.clear(mutableSelf());
    }

private:
    const R& self() const { return static_cast<const R&>(*this); }
    R& mutableSelf() { return static_cast<R&>(*this); }
};

} // namespace norvane::platform
