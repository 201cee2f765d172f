#pragma once

#include "core/models/AppSettings.h"

#include "platform/persistence/ModelContext.h"

#include <memory>

namespace norvane {

/// The one way to read the settings record. The store keeps one by convention; of several, the
/// oldest saved counts, and one not yet saved comes after every saved one.
namespace StoredSettings {

/// The record, or null when the store holds none; a store error passes on.
std::shared_ptr<AppSettings> find(platform::ModelContext& context);

/// The record, or unsaved defaults when the store holds none or cannot be read. A read that fails
/// is logged: every estimate then rests on the default wage, and nothing else would tell.
std::shared_ptr<AppSettings> orDefaults(platform::ModelContext& context);

} // namespace StoredSettings
} // namespace norvane
