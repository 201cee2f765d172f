#pragma once

#include "core/models/NorvaneError.h"
#include "platform/persistence/StoreError.h"

#include <exception>
#include <optional>
#include <string>

namespace norvane {

/// What went wrong while collecting: the error's message, and the library's own error when it
/// was one, so that callers can tell the cases apart.
struct CollectionError {
    std::string message;
    std::optional<NorvaneError> norvaneError;
    /// Another program kept the store locked for longer than the collection waits: nothing of it
    /// was stored, and the same collection may land once that program lets go.
    bool storeKeptWaiting = false;

    static CollectionError from(const std::exception& error) {
        const auto* own = dynamic_cast<const NorvaneError*>(&error);
        return {error.what(), own ? std::optional(*own) : std::nullopt,
                dynamic_cast<const platform::StoreBusyError*>(&error) != nullptr};
    }
};

} // namespace norvane
