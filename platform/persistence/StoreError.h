#pragma once

#include <stdexcept>
#include <string>

namespace norvane::platform {

/// A failure of the store: opening, reading or saving. `what()` says what went wrong and, where
/// there is one, names the file.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A save refused because it would break a unique constraint.
class UniqueConstraintError : public StoreError {
public:
    using StoreError::StoreError;
};

} // namespace norvane::platform
