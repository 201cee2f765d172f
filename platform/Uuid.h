#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::platform {

/// A random (version 4) UUID.
class Uuid {
public:
    /// The nil UUID; use `random()` for a new identity.
    Uuid() = default;
    explicit Uuid(const std::array<std::uint8_t, 16>& bytes) : bytes_(bytes) {}

    static Uuid random();
    /// Parses the 36-character hyphenated form, in either letter case.
    static std::optional<Uuid> parse(std::string_view text);

    /// Upper-case hyphenated form, as the platform writes UUIDs.
    std::string toString() const;
    const std::array<std::uint8_t, 16>& bytes() const { return bytes_; }

    auto operator<=>(const Uuid&) const = default;

private:
    std::array<std::uint8_t, 16> bytes_{};
};

} // namespace norvane::platform
