#pragma once

#include "platform/Date.h"
#include "platform/persistence/Entity.h"
#include "platform/persistence/ModelContainer.h"

#include <memory>
#include <optional>
#include <string>

namespace norvane::testing {

/// A small schema of the persistence tests' own: shelves own their books (cascade) and are
/// named by notes that outlive them (nullify). A shelf has one book per day: a second one
/// replaces it.
class Shelf : public platform::Model<Shelf> {
public:
    platform::Uuid id = platform::Uuid::random();
    std::string name;
    std::optional<std::string> label;
    std::int64_t count = 0;

    static std::shared_ptr<Shelf> make(std::string name);
    static const platform::Entity<Shelf>& entity();
};

class Book : public platform::Model<Book> {
public:
    platform::Uuid id = platform::Uuid::random();
    std::string title;
    platform::Date day{};
    std::int64_t pages = 0;
    std::shared_ptr<Shelf> shelf;

    static std::shared_ptr<Book> make(const std::shared_ptr<Shelf>& shelf, std::string title, int day);
    static const platform::Entity<Book>& entity();
};

class Note : public platform::Model<Note> {
public:
    platform::Uuid id = platform::Uuid::random();
    std::string text;
    std::shared_ptr<Shelf> shelf;

    static const platform::Entity<Note>& entity();
};

namespace ShelfField {
inline constexpr platform::Field<Shelf, platform::Uuid> id{"id", &Shelf::id};
inline constexpr platform::Field<Shelf, std::string> name{"name", &Shelf::name};
inline constexpr platform::Field<Shelf, std::optional<std::string>> label{"label", &Shelf::label};
inline constexpr platform::Field<Shelf, std::int64_t> count{"count", &Shelf::count};
} // namespace ShelfField

namespace BookField {
inline constexpr platform::Field<Book, platform::Uuid> id{"id", &Book::id};
inline constexpr platform::Field<Book, std::string> title{"title", &Book::title};
inline constexpr platform::Field<Book, platform::Date> day{"day", &Book::day};
inline constexpr platform::Field<Book, std::int64_t> pages{"pages", &Book::pages};
inline constexpr platform::Field<Book, std::shared_ptr<Shelf>> shelf{"shelf", &Book::shelf};
} // namespace BookField

namespace NoteField {
inline constexpr platform::Field<Note, platform::Uuid> id{"id", &Note::id};
inline constexpr platform::Field<Note, std::string> text{"text", &Note::text};
inline constexpr platform::Field<Note, std::shared_ptr<Shelf>> shelf{"shelf", &Note::shelf};
} // namespace NoteField

/// Day number `n` as a date: midnight UTC, n days after an arbitrary start.
platform::Date day(int n);

const platform::Schema& testSchema();

} // namespace norvane::testing
