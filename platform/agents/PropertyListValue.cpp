#include "platform/agents/PropertyListValue.h"

namespace norvane::platform {

const PropertyListValue* PropertyListValue::find(std::string_view key) const {
    const auto* dictionary = get<Dictionary>();
    if (dictionary == nullptr) {
        return nullptr;
    }
    for (const auto& [entryKey, value] : *dictionary) {
        if (entryKey == key) {
            return &value;
        }
    }
    return nullptr;
}

} // namespace norvane::platform
