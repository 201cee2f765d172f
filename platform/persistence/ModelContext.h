#pragma once

#include "platform/persistence/ModelContainer.h"
#include "platform/persistence/Predicate.h"
#include "platform/persistence/StoreError.h"

#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace norvane::platform {

/// A unit of work over a container, with an identity map: one object per stored row.
///
/// Inserts, deletions and modifications stay pending until `save()`, which writes them in one
/// transaction. A save writes only what this context changed: of a modified record, the columns
/// that differ from the values it last read or wrote; and it aims every update and delete at the
/// row's key and the record's id, so that a row deleted by another connection is never written
/// again. Fetches see the context's own pending inserts and deletions. Safe to call from several
/// threads: the context serialises its calls.
///
/// A failed save leaves the file unchanged and discards the pending changes (the context rolls
/// back), so a later save never commits them. Callers that can fail separately, such as work on
/// two threads, therefore use contexts of their own over one container.
///
/// Row keys belong to one opening of the store file. Once the container has opened the file at its
/// path anew (another file took its place), the context reads everything anew, and its records of
/// the file before are no longer its own: a save that would change one, or point a new record at
/// one, fails and writes nothing.
class ModelContext {
public:
    explicit ModelContext(std::shared_ptr<ModelContainer> container);
    ~ModelContext();
    ModelContext(const ModelContext&) = delete;
    ModelContext& operator=(const ModelContext&) = delete;

    const std::shared_ptr<ModelContainer>& container() const { return container_; }

    /// Adds a new record; related records not yet in a context are inserted with it.
    void insert(const std::shared_ptr<Record>& record);
    /// Adds a new record that the next save writes and then lets go: the context keeps no object for
    /// its row, so that a large batch of rows that nobody reads back through this context does not
    /// stay in memory. A later fetch reads the row anew.
    void insertWithoutKeeping(const std::shared_ptr<Record>& record);
    /// Deletes a record; records that point to it are deleted or unlinked by their delete rule.
    void remove(const std::shared_ptr<Record>& record);
    /// Deletes the records that match `predicate`: here at once (fetches no longer see them), and
    /// in the store at the next save whichever rows match then, including rows that another
    /// connection added meanwhile. Rows not loaded yet are not read for this.
    template <typename R>
    void removeAll(const Predicate<R>& predicate);

    template <typename R>
    std::vector<std::shared_ptr<R>> fetch(const FetchDescriptor<R>& descriptor = {});
    template <typename R>
    std::size_t fetchCount(const FetchDescriptor<R>& descriptor = {}) {
        return fetch(descriptor).size();
    }

    /// Writes every pending change in one transaction, then tells the container's observers.
    void save();
    /// Runs `stage` inside the write transaction that then writes every pending change, `stage`'s
    /// own among them: what it decides from the store it decides from a read made there, which no
    /// other connection's write can come between. `stage` only reads the store and changes this
    /// context (no outside program: the store stays locked meanwhile). When it throws, the
    /// transaction and every pending change are rolled back, as a failed save's are.
    void save(const std::function<void()>& stage);
    bool hasChanges();
    /// Runs `work`, which only reads, inside one read transaction: all its fetches see one state
    /// of the store.
    template <typename Work>
    void readConsistently(Work&& work) {
        std::lock_guard lock(mutex_);
        container_->withReadTransaction(std::forward<Work>(work));
    }

    /// The object of a stored row, loading it when needed; null when there is no such row.
    std::shared_ptr<Record> resolve(const EntityInfo& entity, std::int64_t key);

private:
    struct ErasedFetch {
        const EntityInfo* entity;
        std::string where;
        std::vector<SqlValue> arguments;
        std::string orderBy;
        std::optional<std::size_t> limit;
        std::function<bool(const Record&)> matches;
        std::function<bool(const Record&, const Record&)> before;
    };

    struct BulkDelete {
        const EntityInfo* entity;
        std::string where;
        std::vector<SqlValue> arguments;
    };

    std::vector<std::shared_ptr<Record>> fetchErased(const ErasedFetch& fetch);
    /// Lets go of the records of an earlier opening of the file, once the container has opened it
    /// anew. Called with the connection in use, so that what is read next is of the opening kept.
    void followOpening();
    /// The records of an earlier opening that someone still holds, and those of them changed since.
    std::vector<std::shared_ptr<Record>> displacedRecords() const;
    std::vector<std::shared_ptr<Record>> changedDisplacedRecords() const;
    /// Fails when a pending change concerns a record of an earlier opening.
    void refuseChangesOfEarlierOpenings() const;
    StoreMovedError replaced(const std::string& during) const;
    std::shared_ptr<Record> materialize(const EntityInfo& entity, std::int64_t key, std::vector<SqlValue> values);
    void removeLocked(const std::shared_ptr<Record>& record);
    /// Removes the loaded and pending records of `entity` that `matches` admits.
    void removeLoaded(const EntityInfo& entity, const std::function<bool(const Record&)>& matches);
    /// The condition that leaves out the rows that pending bulk deletions of `entity` will remove,
    /// with its arguments appended to `arguments`; empty without any.
    std::string notBulkDeleted(const EntityInfo& entity, std::vector<SqlValue>& arguments) const;
    void unlinkReferences(const Record& target);
    std::vector<std::shared_ptr<Record>> modifiedRecords();
    std::vector<std::shared_ptr<Record>> insertsInTableOrder() const;
    /// Runs `stage`, then writes what is pending, in one transaction of `database`.
    StoreChange writeChanges(Database& database, const std::function<void()>& stage);
    /// Writes the rows of `inserts`, which come a table at a time; `insertedValues` receives what
    /// the context keeps of each.
    void writeInserts(Database& database, const std::vector<std::shared_ptr<Record>>& inserts,
                      std::vector<std::vector<SqlValue>>& insertedValues, StoreChange& change);
    void writeDeletes(Database& database, StoreChange& change);
    /// Runs one write of `record`, turning a reference to a row that is gone into
    /// MissingRecordError.
    template <typename Write>
    auto guarded(Database& database, const Record& record, Write&& write);
    /// The entity of the related record of `record` whose row is gone, or of `record` itself.
    const EntityInfo& missingEntity(Database& database, const Record& record);
    std::string missingMessage(const EntityInfo& entity) const;
    void adoptStoredIdentity(Record& record, const std::vector<SqlValue>& values);
    void rollbackLocked();
    void detach(Record& record);

    std::shared_ptr<ModelContainer> container_;
    std::recursive_mutex mutex_;
    std::unordered_map<const EntityInfo*, std::unordered_map<std::int64_t, std::shared_ptr<Record>>> registered_;
    std::vector<std::shared_ptr<Record>> inserted_;
    std::vector<std::shared_ptr<Record>> deleted_;
    std::vector<BulkDelete> bulkDeletes_;
    std::uint64_t opening_;
    std::vector<std::weak_ptr<Record>> displaced_;
    /// Fetches under way on the thread that holds the mutex: resolving a relationship fetches again.
    std::size_t fetching_ = 0;
};

template <typename R>
void ModelContext::removeAll(const Predicate<R>& predicate) {
    std::lock_guard lock(mutex_);
    removeLoaded(R::entity().info(),
                 [&predicate](const Record& record) { return predicate.matches(static_cast<const R&>(record)); });
    bulkDeletes_.push_back({&R::entity().info(), predicate.sql, predicate.arguments});
}

template <typename R>
std::vector<std::shared_ptr<R>> ModelContext::fetch(const FetchDescriptor<R>& descriptor) {
    ErasedFetch erased{&R::entity().info(), {}, {}, {}, descriptor.limit, {}, {}};
    if (descriptor.predicate) {
        erased.where = descriptor.predicate->sql;
        erased.arguments = descriptor.predicate->arguments;
        erased.matches = [matches = descriptor.predicate->matches](const Record& record) {
            return matches(static_cast<const R&>(record));
        };
    }
    for (const auto& sort : descriptor.sortBy) {
        erased.orderBy += (erased.orderBy.empty() ? "" : ", ") + sort.sql;
    }
    if (!descriptor.sortBy.empty()) {
        erased.before = [sorts = descriptor.sortBy](const Record& a, const Record& b) {
            for (const auto& sort : sorts) {
                const int order = sort.compare(static_cast<const R&>(a), static_cast<const R&>(b));
                if (order != 0) return order < 0;
            }
            return false;
        };
    }
    std::vector<std::shared_ptr<R>> result;
    for (auto& record : fetchErased(erased)) {
        result.push_back(std::static_pointer_cast<R>(record));
    }
    return result;
}

} // namespace norvane::platform
