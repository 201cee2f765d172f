#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <ostream>
#include <string_view>
#include <vector>

namespace norvane::cli {

/// Writes one JSON document a piece at a time, exactly as nlohmann::json's dump with an indent of 2
/// (and invalid UTF-8 replaced) would print it whole, so that a large document need not be held
/// in memory. The caller opens and closes objects and arrays, names each member in the order the
/// whole document would print them (keys sorted) and hands over the values inside, each of which
/// is printed by the library itself.
class JsonStream {
public:
    explicit JsonStream(std::ostream& out) : out_(out) {}

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    /// The next member of the open object; its value follows.
    void key(std::string_view name);
    void value(const nlohmann::json& value);
    /// A member with its value.
    void member(std::string_view name, const nlohmann::json& value) {
        key(name);
        this->value(value);
    }

private:
    struct Open {
        bool isArray = false;
        std::size_t count = 0;
    };

    /// Starts a value: in an array, after the separator and on a line of its own.
    void beginValue();
    void newLine(std::size_t depth);
    void close(char bracket);

    std::ostream& out_;
    std::vector<Open> open_;
};

} // namespace norvane::cli
