#include "tests/platform/persistence/TestRecords.h"

namespace norvane::testing {

using platform::attribute;
using platform::relationship;

std::shared_ptr<Shelf> Shelf::make(std::string name) {
    auto shelf = std::make_shared<Shelf>();
    shelf->name = std::move(name);
    return shelf;
}

const platform::Entity<Shelf>& Shelf::entity() {
    static const platform::Entity<Shelf> entity{"Shelf",
                                                "shelf",
                                                {attribute(ShelfField::id, {.identity = true}),
                                                 attribute(ShelfField::name, {.unique = true}),
                                                 attribute(ShelfField::label), attribute(ShelfField::count)}};
    return entity;
}

std::shared_ptr<Book> Book::make(const std::shared_ptr<Shelf>& shelf, std::string title, int dayNumber) {
    auto book = std::make_shared<Book>();
    book->shelf = shelf;
    book->title = std::move(title);
    book->day = testing::day(dayNumber);
    return book;
}

const platform::Entity<Book>& Book::entity() {
    static const platform::Entity<Book> entity{
        "Book",
        "book",
        {attribute(BookField::id, {.identity = true}), attribute(BookField::title), attribute(BookField::day),
         attribute(BookField::pages), relationship(BookField::shelf, platform::DeleteRule::cascade)},
        {{.columns = {"shelf", "day"}, .replaces = true}}};
    return entity;
}

const platform::Entity<Note>& Note::entity() {
    static const platform::Entity<Note> entity{"Note",
                                               "note",
                                               {attribute(NoteField::id, {.identity = true}),
                                                attribute(NoteField::text),
                                                relationship(NoteField::shelf, platform::DeleteRule::nullify)}};
    return entity;
}

platform::Date day(int n) {
    return platform::Date(std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::hours(24 * (20000 + n))));
}

const platform::Schema& testSchema() {
    static const platform::Schema schema{"1.0.0",
                                         {&Shelf::entity().info(), &Book::entity().info(), &Note::entity().info()}};
    return schema;
}

} // namespace norvane::testing
