#include "core/models/StoredSettings.h"

#include "platform/ErrorLog.h"

#include <algorithm>
#include <string>

namespace norvane::StoredSettings {

std::shared_ptr<AppSettings> find(platform::ModelContext& context) {
    const auto all = context.fetch<AppSettings>();
    // A record not yet saved has no key; saved ones are older in the order of their keys.
    const auto oldest = std::min_element(all.begin(), all.end(), [](const auto& a, const auto& b) {
        const auto keyA = a->persistentKey();
        const auto keyB = b->persistentKey();
        return keyA != 0 && (keyB == 0 || keyA < keyB);
    });
    return oldest == all.end() ? nullptr : *oldest;
}

std::shared_ptr<AppSettings> orDefaults(platform::ModelContext& context) {
    try {
        if (auto stored = find(context)) {
            return stored;
        }
    } catch (const std::exception& error) {
        platform::logError(std::string("The settings cannot be read, so the default wage and overhead stand in: ") +
                           error.what());
    }
    return AppSettings::defaults();
}

} // namespace norvane::StoredSettings
