#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace norvane::platform {

/// One value of a property list: text, integer, Boolean, array or dictionary. Dictionaries keep
/// their keys in document order; keys are unique.
class PropertyListValue {
public:
    using Array = std::vector<PropertyListValue>;
    using Dictionary = std::vector<std::pair<std::string, PropertyListValue>>;
    using Storage = std::variant<std::string, std::int64_t, bool, Array, Dictionary>;

    explicit PropertyListValue(Storage storage) : storage_(std::move(storage)) {}

    template <typename T>
    const T* get() const {
        return std::get_if<T>(&storage_);
    }

    /// The value under `key` when this is a dictionary that holds it; null otherwise.
    const PropertyListValue* find(std::string_view key) const;

private:
    Storage storage_;
};

} // namespace norvane::platform
