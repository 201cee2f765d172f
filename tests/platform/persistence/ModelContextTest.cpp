#include "platform/persistence/ModelContext.h"

#include "platform/persistence/StoreError.h"
#include "tests/platform/persistence/TestRecords.h"
#include "tests/support/ErrorMessage.h"
#include "tests/support/TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

namespace norvane::testing {
namespace {

using platform::ModelContext;
using ::testing::HasSubstr;

class ModelContextTest : public ::testing::Test {
protected:
    std::shared_ptr<Shelf> addShelf(const std::string& name, ModelContext& into) {
        auto shelf = Shelf::make(name);
        into.insert(shelf);
        return shelf;
    }
    std::shared_ptr<Shelf> addShelf(const std::string& name) { return addShelf(name, *context); }

    /// A context on a container of its own over the same file, as another process has.
    std::shared_ptr<ModelContext> otherContext() const {
        return std::make_shared<ModelContext>(platform::ModelContainer::open(file, testSchema()));
    }

    template <typename R>
    std::vector<std::shared_ptr<R>> stored() const {
        return otherContext()->fetch<R>();
    }

    std::shared_ptr<Shelf> storedShelf(const std::string& name) const {
        auto found = otherContext()->fetch<Shelf>({.predicate = ShelfField::name == name});
        return found.empty() ? nullptr : found.front();
    }

    TemporaryFolder folder;
    std::filesystem::path file = folder.path() / "test.store";
    std::shared_ptr<platform::ModelContainer> container = platform::ModelContainer::open(file, testSchema());
    std::shared_ptr<ModelContext> context = std::make_shared<ModelContext>(container);
};

TEST_F(ModelContextTest, SavedChangesReadBackWithTheirValuesAndOneObjectPerRow) {
    auto shelf = addShelf("alpha");
    shelf->label = "first";
    auto other = addShelf("beta");
    auto moving = Book::make(shelf, "moving", 1);
    auto leaving = Book::make(shelf, "leaving", 2);
    context->insert(moving);
    context->insert(leaving);
    context->save();
    EXPECT_EQ(context->fetch<Shelf>({.predicate = ShelfField::name == std::string("alpha")}).front(), shelf);

    shelf->label = std::nullopt;
    other->count = 7;
    moving->shelf = other;
    context->remove(leaving);
    EXPECT_TRUE(context->hasChanges());
    context->save();
    EXPECT_FALSE(context->hasChanges());

    const auto alpha = storedShelf("alpha");
    EXPECT_EQ(alpha->id, shelf->id);
    EXPECT_FALSE(alpha->label);
    EXPECT_EQ(storedShelf("beta")->count, 7);
    const auto books = stored<Book>();
    ASSERT_EQ(books.size(), 1U);
    EXPECT_EQ(books.front()->title, "moving");
    EXPECT_EQ(books.front()->shelf->name, "beta");
    EXPECT_EQ(books.front()->day, day(1));
}

TEST_F(ModelContextTest, TwoWritersOfOneRecordKeepEachOthersFieldsAndTheLaterWinsOnOne) {
    addShelf("alpha");
    context->save();
    auto first = otherContext();
    auto second = otherContext();
    auto seenByFirst = first->fetch<Shelf>().front();
    auto seenBySecond = second->fetch<Shelf>().front();

    seenByFirst->label = "labelled";
    seenBySecond->count = 3;
    first->save();
    second->save();
    EXPECT_EQ(storedShelf("alpha")->label, "labelled");
    EXPECT_EQ(storedShelf("alpha")->count, 3);

    seenByFirst->count = 10;
    seenBySecond->count = 20;
    second->save();
    first->save();
    EXPECT_EQ(storedShelf("alpha")->count, 10);
}

TEST_F(ModelContextTest, WritesAimedAtARowThatAnotherConnectionDeletedChangeNothing) {
    auto alpha = addShelf("alpha");
    context->save();
    const auto alphaKey = alpha->persistentKey();

    auto elsewhere = otherContext();
    elsewhere->remove(elsewhere->fetch<Shelf>().front());
    elsewhere->save();
    auto beta = addShelf("beta", *elsewhere);
    elsewhere->save();
    EXPECT_GT(beta->persistentKey(), alphaKey) << "a deleted row's key is never handed out again";

    alpha->label = "stale";
    EXPECT_THROW(context->save(), platform::MissingRecordError);
    context->insert(Book::make(alpha, "orphan", 1));
    EXPECT_THROW(context->save(), platform::MissingRecordError);
    context->remove(alpha);
    context->save();

    const auto shelves = stored<Shelf>();
    ASSERT_EQ(shelves.size(), 1U);
    EXPECT_EQ(shelves.front()->name, "beta");
    EXPECT_FALSE(shelves.front()->label);
    EXPECT_TRUE(stored<Book>().empty());
}

// Found with a collection under way while the store file was replaced: it had read the project
// from the file before, and saved its rows under that file's keys.
TEST_F(ModelContextTest, ChangesOfRecordsReadFromAFileThatWasReplacedMeanwhileAreNotSaved) {
    auto alpha = addShelf("alpha");
    context->save();
    const auto copy = folder.path() / "copy.store";
    {
        ModelContext other(platform::ModelContainer::open(copy, testSchema()));
        addShelf("beta", other);
        other.save();
        ASSERT_EQ(other.fetch<Shelf>().front()->persistentKey(), alpha->persistentKey()) << "keys start anew";
    }
    std::filesystem::rename(copy, file);

    // Only held, a record of the file before changes nothing.
    addShelf("gamma");
    context->save();
    EXPECT_EQ(storedShelf("gamma")->name, "gamma");

    alpha->label = "changed";
    EXPECT_THAT(errorMessageOf<platform::StoreError>([&] { context->save(); }),
                HasSubstr("The store " + file.string() + " was replaced by another file"));
    context->insert(Book::make(alpha, "misplaced", 1));
    EXPECT_THAT(errorMessageOf<platform::StoreError>([&] { context->save(); }), HasSubstr("nothing was saved"));
    EXPECT_FALSE(storedShelf("beta")->label);
    EXPECT_TRUE(stored<Book>().empty());

    auto beta = context->fetch<Shelf>().front();
    EXPECT_NE(beta, alpha);
    context->insert(Book::make(beta, "kept", 1));
    context->save();
    ASSERT_EQ(stored<Book>().size(), 1U);
    EXPECT_EQ(stored<Book>().front()->shelf->name, "beta");
}

TEST_F(ModelContextTest, ASecondRecordForAReplacingIndexTakesTheStoredRow) {
    addShelf("alpha");
    context->save();
    auto first = otherContext();
    auto second = otherContext();
    auto early = Book::make(first->fetch<Shelf>().front(), "early", 1);
    auto late = Book::make(second->fetch<Shelf>().front(), "late", 1);
    first->insert(early);
    second->insert(late);

    first->save();
    second->save();

    const auto books = stored<Book>();
    ASSERT_EQ(books.size(), 1U);
    EXPECT_EQ(books.front()->title, "late");
    EXPECT_EQ(late->id, early->id) << "the record adopts the row's id";
    EXPECT_EQ(late->persistentKey(), early->persistentKey());
    late->pages = 5;
    second->save();
    EXPECT_EQ(stored<Book>().front()->pages, 5);
}

TEST_F(ModelContextTest, RemoveAllDeletesWhatMatchesWhenSavingAndFetchesNoLongerSeeIt) {
    auto shelf = addShelf("alpha");
    context->insert(Book::make(shelf, "old", 1));
    context->save();
    auto elsewhere = otherContext();
    elsewhere->insert(Book::make(elsewhere->fetch<Shelf>().front(), "never loaded here", 2));
    elsewhere->save();
    context->removeAll(BookField::shelf == shelf);
    EXPECT_TRUE(context->fetch<Book>().empty()) << "the loaded row, and the one this context never read";

    elsewhere->insert(Book::make(elsewhere->fetch<Shelf>().front(), "added meanwhile", 3));
    elsewhere->save();
    EXPECT_TRUE(context->fetch<Book>().empty());
    context->insert(Book::make(shelf, "new", 4));
    EXPECT_EQ(context->fetch<Book>().size(), 1U);
    context->save();

    const auto books = stored<Book>();
    ASSERT_EQ(books.size(), 1U);
    EXPECT_EQ(books.front()->title, "new");
}

TEST_F(ModelContextTest, ARecordInsertedWithoutKeepingIsWrittenThenLetGo) {
    auto shelf = addShelf("alpha");
    auto book = Book::make(shelf, "batch", 1);
    book->pages = 12;
    context->insertWithoutKeeping(book);
    auto labelled = Shelf::make("labelled");
    labelled->label = "in place";
    labelled->count = -3;
    context->insertWithoutKeeping(labelled);
    context->insertWithoutKeeping(Shelf::make(""));
    EXPECT_EQ(context->fetch<Book>().size(), 1U) << "pending, it is seen like any insert";
    context->save();

    EXPECT_EQ(book->modelContext(), nullptr);
    const auto fetched = context->fetch<Book>();
    ASSERT_EQ(fetched.size(), 1U);
    EXPECT_NE(fetched.front(), book) << "the row is read anew";
    const auto written = stored<Book>().front();
    EXPECT_EQ(written->id, book->id);
    EXPECT_EQ(written->title, "batch");
    EXPECT_EQ(written->day, day(1));
    EXPECT_EQ(written->pages, 12);
    EXPECT_EQ(written->shelf->name, "alpha");
    EXPECT_EQ(storedShelf("labelled")->id, labelled->id);
    EXPECT_EQ(storedShelf("labelled")->label, "in place");
    EXPECT_EQ(storedShelf("labelled")->count, -3);
    ASSERT_NE(storedShelf(""), nullptr) << "an empty name is a text, not a missing one";
    EXPECT_FALSE(storedShelf("")->label);
    book->pages = 99;
    context->save();
    EXPECT_EQ(stored<Book>().front()->pages, 12) << "the object let go writes nothing";

    // One let go on a day its shelf has a book for takes that row, and its id.
    auto later =
        Book::make(context->fetch<Shelf>({.predicate = ShelfField::name == std::string("alpha")}).front(), "later", 1);
    context->insertWithoutKeeping(later);
    context->save();
    ASSERT_EQ(stored<Book>().size(), 1U);
    EXPECT_EQ(stored<Book>().front()->title, "later");
    EXPECT_EQ(later->id, book->id);
}

TEST_F(ModelContextTest, AReadTransactionSeesOneStateOfTheStore) {
    addShelf("alpha");
    context->save();
    auto writer = otherContext();
    std::size_t before = 0;
    std::size_t after = 0;
    context->readConsistently([&] {
        before = context->fetch<Shelf>().size();
        addShelf("beta", *writer);
        writer->save();
        after = context->fetch<Shelf>().size();
    });
    EXPECT_EQ(before, 1U);
    EXPECT_EQ(after, 1U);
    EXPECT_EQ(context->fetch<Shelf>().size(), 2U);
}

TEST_F(ModelContextTest, FetchAppliesPredicateSortAndLimitAndSeesPendingChanges) {
    auto shelf = addShelf("alpha");
    for (int i = 0; i < 5; ++i) context->insert(Book::make(shelf, "day" + std::to_string(i), i));
    context->save();

    const auto window = BookField::shelf == shelf && BookField::day >= day(1) && BookField::day < day(4);
    auto rows = context->fetch<Book>({.predicate = window, .sortBy = {platform::descending(BookField::day)}});
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows.front()->day, day(3));

    context->remove(rows.front());
    auto pending = Book::make(shelf, "pending", 2);
    pending->day += std::chrono::hours(30);
    context->insert(pending);
    rows = context->fetch<Book>({.predicate = window, .sortBy = {platform::ascending(BookField::day)}});
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0]->day, day(1));
    EXPECT_EQ(rows[2], pending);

    auto limited =
        context->fetch<Book>({.predicate = window, .sortBy = {platform::descending(BookField::day)}, .limit = 1});
    ASSERT_EQ(limited.size(), 1U);
    EXPECT_EQ(limited.front(), pending) << "the deleted row must not fill the limit";
}

TEST_F(ModelContextTest, DeletingAParentCascadesAndUnlinks) {
    auto shelf = addShelf("alpha");
    context->insert(Book::make(shelf, "owned", 1));
    auto note = std::make_shared<Note>();
    note->shelf = shelf;
    context->insert(note);
    context->save();

    context->remove(shelf);
    EXPECT_TRUE(context->fetch<Book>().empty()) << "children leave the context with their parent";
    EXPECT_EQ(note->shelf, nullptr);
    context->save();

    EXPECT_TRUE(stored<Book>().empty());
    const auto notes = stored<Note>();
    ASSERT_EQ(notes.size(), 1U);
    EXPECT_EQ(notes.front()->shelf, nullptr);
}

TEST_F(ModelContextTest, AStoreLockedTooLongIsSaidInTheStoresWords) {
    addShelf("alpha");
    context->save();
    platform::Database holder(file.string(), platform::Database::Access::readWrite);
    holder.execute("BEGIN IMMEDIATE");
    platform::Database waiter(file.string(), platform::Database::Access::readWrite);
    waiter.execute("PRAGMA busy_timeout = 0");
    try {
        waiter.execute("BEGIN IMMEDIATE");
        ADD_FAILURE() << "the lock was taken twice";
    } catch (const platform::StoreBusyError& error) {
        EXPECT_THAT(error.what(), ::testing::StartsWith("Another program kept the store locked"));
    }
    holder.execute("ROLLBACK");
}

TEST_F(ModelContextTest, AFailedSaveLeavesTheFileUnchangedAndDiscardsItsChanges) {
    auto alpha = addShelf("alpha");
    context->save();
    addShelf("beta");
    alpha->label = "changed";
    addShelf("alpha");
    try {
        context->save();
        ADD_FAILURE() << "a second shelf named alpha was saved";
    } catch (const platform::UniqueConstraintError& error) {
        EXPECT_THAT(error.what(), ::testing::StartsWith("The store already holds a record that it keeps only once"))
            << "said in the store's words, not in SQLite's";
    }
    EXPECT_FALSE(alpha->label) << "modified records take their stored values again";
    EXPECT_FALSE(context->hasChanges());

    addShelf("gamma");
    context->save();
    EXPECT_EQ(stored<Shelf>().size(), 2U);
    EXPECT_FALSE(storedShelf("beta"));
}

TEST_F(ModelContextTest, TwoThreadsOnOneContext) {
    auto shelf = addShelf("alpha");
    context->save();
    auto work = [&](const std::string& prefix) {
        for (int i = 0; i < 50; ++i) {
            auto note = std::make_shared<Note>();
            note->text = prefix + std::to_string(i);
            note->shelf = shelf;
            context->insert(note);
            context->fetch<Note>({.predicate = NoteField::shelf == shelf});
            context->save();
        }
    };
    std::thread first(work, "a");
    std::thread second(work, "b");
    first.join();
    second.join();
    EXPECT_EQ(stored<Note>().size(), 100U);
}

TEST_F(ModelContextTest, ObserversHearAboutSavesAndExternalChanges) {
    std::vector<platform::StoreChange> changes;
    auto registration = container->observe([&](const platform::StoreChange& change) { changes.push_back(change); });
    addShelf("alpha");
    context->save();
    ASSERT_EQ(changes.size(), 1U);
    EXPECT_FALSE(changes[0].external);
    EXPECT_TRUE(changes[0].entityNames.contains("Shelf"));

    EXPECT_FALSE(container->checkForExternalChanges());
    auto other = otherContext();
    addShelf("beta", *other);
    other->save();
    EXPECT_TRUE(container->checkForExternalChanges());
    EXPECT_TRUE(changes.back().external);
    EXPECT_EQ(context->fetch<Shelf>().size(), 2U);
}

} // namespace
} // namespace norvane::testing
