#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace norvane::platform {

/// A failure of the store: opening, reading or saving. `what()` says what went wrong and, where
/// there is one, names the file. `code()` is SQLite's extended result code, 0 when none.
class StoreError : public std::runtime_error {
public:
    /// `reason` is the failure without the file's name, when `message` adds it.
    explicit StoreError(const std::string& message, int code = 0, std::string reason = {})
        : std::runtime_error(message), code_(code), reason_(std::move(reason)) {}
    int code() const { return code_; }
    /// What went wrong, for a message that names the file already.
    std::string reason() const { return reason_.empty() ? what() : reason_; }

private:
    int code_;
    std::string reason_;
};

/// A save refused because it would break a unique constraint.
class UniqueConstraintError : public StoreError {
public:
    using StoreError::StoreError;
};

/// Another connection held the store locked for longer than the busy timeout.
class StoreBusyError : public StoreError {
public:
    using StoreError::StoreError;
};

/// The store file left its path while it was in use: deleted, replaced by another file, or moved
/// away. What was being written is not in the file at the path.
class StoreMovedError : public StoreError {
public:
    using StoreError::StoreError;
    static StoreMovedError replaced(const std::string& file, const std::string& during) {
        return StoreMovedError("The store " + file + " was replaced by another file while " + during +
                               "; nothing was saved");
    }
    static StoreMovedError deleted(const std::string& file) {
        return StoreMovedError("The store " + file + " was deleted while it was in use");
    }
    static StoreMovedError moved(const std::string& file, const std::string& place) {
        return StoreMovedError("The store " + file + " was moved to " + place + " while it was in use");
    }
};

/// A save aimed at a record whose row another connection deleted meanwhile. Nothing was written.
class MissingRecordError : public StoreError {
public:
    using StoreError::StoreError;
};

} // namespace norvane::platform
