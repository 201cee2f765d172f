#include "platform/persistence/ModelContainer.h"

#include "platform/persistence/LocalizedCollation.h"
#include "platform/persistence/StoreError.h"

#include <sqlite3.h>

#include <algorithm>
#include <sstream>

namespace norvane::platform {
namespace {

constexpr const char* metadataTable = "norvane_metadata";

std::vector<int> versionParts(const std::string& version) {
    std::vector<int> parts;
    std::stringstream stream(version);
    std::string piece;
    while (std::getline(stream, piece, '.')) {
        try {
            parts.push_back(std::stoi(piece));
        } catch (const std::exception&) {
            parts.push_back(0);
        }
    }
    parts.resize(3, 0);
    return parts;
}

std::string columnDefinition(const ColumnInfo& column) {
    std::string definition = "\"" + column.name + "\" " + column.sqlType;
    if (!column.nullable) definition += " NOT NULL";
    if (column.unique) definition += " UNIQUE";
    if (column.relationTarget) {
        definition += " REFERENCES \"" + column.relationTarget()->table + "\"(pk) ON DELETE ";
        definition += column.deleteRule == DeleteRule::cascade ? "CASCADE" : "SET NULL";
    }
    return definition;
}

std::string indexName(const EntityInfo& entity, const IndexInfo& index) {
    std::string name = entity.table + "_by";
    for (const auto& column : index.columns) name += "_" + column;
    return name;
}

void createTables(Database& database, const Schema& schema) {
    for (const EntityInfo* entity : schema.entities) {
        std::string sql = "CREATE TABLE IF NOT EXISTS \"" + entity->table + "\" (pk INTEGER PRIMARY KEY";
        for (const auto& column : entity->columns) sql += ", " + columnDefinition(column);
        database.execute(sql + ")");
        auto indexes = entity->indexes;
        // Foreign keys are indexed so cascades and per-parent fetches do not scan the table.
        for (const auto& column : entity->columns) {
            const bool covered = std::any_of(indexes.begin(), indexes.end(), [&](const IndexInfo& index) {
                return index.columns.front() == column.name;
            });
            if (column.relationTarget && !covered) indexes.push_back({{column.name}, false});
        }
        for (const auto& index : indexes) {
            std::string columns;
            for (const auto& column : index.columns) columns += (columns.empty() ? "\"" : ", \"") + column + "\"";
            database.execute(std::string("CREATE ") + (index.unique ? "UNIQUE " : "") + "INDEX IF NOT EXISTS \"" +
                             indexName(*entity, index) + "\" ON \"" + entity->table + "\" (" + columns + ")");
        }
    }
}

std::string describe(const std::optional<std::filesystem::path>& file) {
    return file ? file->string() : std::string("(in memory)");
}

} // namespace

ModelContainer::ModelContainer(std::unique_ptr<Database> database, Schema schema,
                               std::optional<std::filesystem::path> file)
    : database_(std::move(database)), schema_(std::move(schema)), file_(std::move(file)) {}

std::shared_ptr<ModelContainer> ModelContainer::open(const std::filesystem::path& file, const Schema& schema) {
    auto database = std::make_unique<Database>(file.string(), true);
    std::shared_ptr<ModelContainer> container(new ModelContainer(std::move(database), schema, file));
    container->prepare();
    return container;
}

std::shared_ptr<ModelContainer> ModelContainer::inMemory(const Schema& schema) {
    auto database = std::make_unique<Database>(":memory:", true);
    std::shared_ptr<ModelContainer> container(new ModelContainer(std::move(database), schema, std::nullopt));
    container->prepare();
    return container;
}

void ModelContainer::prepare() {
    Database& database = *database_;
    const std::string where = describe(file_);
    database.execute("PRAGMA busy_timeout = 10000");
    registerLocalizedCollation(database.handle());

    // Everything up to here only reads: a file that is not ours stays untouched.
    int tableCount = 0;
    bool hasMetadata = false;
    try {
        auto tables = database.prepare("SELECT name FROM sqlite_master WHERE type = 'table'");
        while (tables.step()) {
            ++tableCount;
            hasMetadata = hasMetadata || std::get<std::string>(tables.column(0)) == metadataTable;
        }
    } catch (const StoreError& error) {
        throw StoreError("The file " + where + " is not a Norvane store: " + error.what());
    }
    if (tableCount > 0 && !hasMetadata) {
        throw StoreError("The file " + where + " is not a Norvane store: it holds other tables");
    }
    if (hasMetadata) {
        auto query =
            database.prepare(std::string("SELECT value FROM ") + metadataTable + " WHERE key = 'schemaVersion'");
        const std::string stored = query.step() ? std::get<std::string>(query.column(0)) : std::string("0.0.0");
        if (versionParts(stored) > versionParts(schema_.version)) {
            throw StoreError("The store " + where + " was written by a newer version of Norvane (schema " + stored +
                             "); this version reads schema " + schema_.version);
        }
    }

    if (file_) database.execute("PRAGMA journal_mode = WAL");
    database.execute("PRAGMA synchronous = NORMAL");
    database.execute("PRAGMA foreign_keys = ON");
    Transaction transaction(database);
    database.execute(std::string("CREATE TABLE IF NOT EXISTS ") + metadataTable +
                     " (key TEXT PRIMARY KEY, value TEXT NOT NULL)");
    createTables(database, schema_);
    auto version = database.prepare(std::string("INSERT OR REPLACE INTO ") + metadataTable +
                                    " (key, value) VALUES ('schemaVersion', ?)");
    version.bind(1, schema_.version);
    version.run();
    transaction.commit();
    lastDataVersion_ = dataVersion();
}

std::int64_t ModelContainer::dataVersion() {
    auto statement = database_->prepare("PRAGMA data_version");
    return statement.step() ? std::get<std::int64_t>(statement.column(0)) : 0;
}

ObserverRegistration ModelContainer::observe(std::function<void(const StoreChange&)> observer) {
    std::lock_guard lock(observersMutex_);
    const std::uint64_t id = nextObserverId_++;
    observers_.emplace_back(id, std::make_shared<std::function<void(const StoreChange&)>>(std::move(observer)));
    std::weak_ptr<ModelContainer> weakSelf = weak_from_this();
    return ObserverRegistration([weakSelf, id] {
        if (auto self = weakSelf.lock()) {
            std::lock_guard innerLock(self->observersMutex_);
            std::erase_if(self->observers_, [id](const auto& entry) { return entry.first == id; });
        }
    });
}

void ModelContainer::notify(const StoreChange& change) {
    std::vector<std::shared_ptr<std::function<void(const StoreChange&)>>> targets;
    {
        std::lock_guard lock(observersMutex_);
        for (const auto& entry : observers_) targets.push_back(entry.second);
    }
    for (const auto& target : targets) (*target)(change);
}

bool ModelContainer::checkForExternalChanges() {
    bool changed = false;
    {
        std::lock_guard lock(databaseMutex_);
        const std::int64_t current = dataVersion();
        changed = current != lastDataVersion_;
        lastDataVersion_ = current;
    }
    if (changed) {
        StoreChange change;
        change.external = true;
        for (const EntityInfo* entity : schema_.entities) change.entityNames.insert(entity->name);
        notify(change);
    }
    return changed;
}

std::size_t ModelContainer::entityOrder(const EntityInfo& entity) const {
    const auto found = std::find(schema_.entities.begin(), schema_.entities.end(), &entity);
    return static_cast<std::size_t>(found - schema_.entities.begin());
}

} // namespace norvane::platform
