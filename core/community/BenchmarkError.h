#pragma once

#include <stdexcept>

namespace norvane {

/// Why the community benchmarks could not be fetched.
class BenchmarkError : public std::runtime_error {
public:
    enum class Kind { fetchFailed, invalidData };

    explicit BenchmarkError(Kind kind)
        : std::runtime_error(kind == Kind::fetchFailed ? "Failed to fetch benchmarks" : "Invalid benchmark data"),
          kind_(kind) {}

    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

} // namespace norvane
