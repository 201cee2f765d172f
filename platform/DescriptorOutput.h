#pragma once

#include <array>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>

namespace norvane::platform {

/// An output stream over an open file descriptor, such as standard output, that keeps why a write
/// failed (a full disk, a closed file): the stream goes bad, whatever follows is dropped, and
/// `failure()` says why, so that a program can report a cut output rather than pass for whole.
class DescriptorOutput : public std::ostream {
public:
    explicit DescriptorOutput(int descriptor);
    /// Writes out what is still buffered.
    ~DescriptorOutput() override;
    DescriptorOutput(const DescriptorOutput&) = delete;
    DescriptorOutput& operator=(const DescriptorOutput&) = delete;

    /// The system's reason for the first write that failed, such as "No space left on device".
    const std::optional<std::string>& failure() const { return buffer_.failure(); }

private:
    class Buffer : public std::streambuf {
    public:
        explicit Buffer(int descriptor);
        const std::optional<std::string>& failure() const { return failure_; }

    protected:
        int_type overflow(int_type character) override;
        int sync() override;

    private:
        /// Hands the buffered bytes to the descriptor; false once a write has failed.
        bool drain();

        int descriptor_;
        std::optional<std::string> failure_;
        std::array<char, 1 << 16> bytes_{};
    };

    Buffer buffer_;
};

} // namespace norvane::platform
