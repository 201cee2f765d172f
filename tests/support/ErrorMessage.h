#pragma once

#include <string>

namespace norvane::testing {

/// The what() of the `Error` that `action` throws; "no error" when it returns.
template <typename Error, typename Action>
std::string errorMessageOf(Action&& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

} // namespace norvane::testing
