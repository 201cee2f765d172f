#pragma once

#include <cstddef>

namespace norvane::counter {

/// Whole pages mapped apart from the heap, so that freeing them gives them back to the system at
/// once: the heap keeps what its threads freed for later, and a count that holds to a bound of
/// memory must not hold on to what it gave back. Its size is what it takes from the system, but
/// for blocks of up to kLargestKeptBlock, which are kept when freed, up to kMostKeptBytes of them in
/// the process, for the next blocks of their size.
class MappedBlock {
public:
    static constexpr std::size_t kLargestKeptBlock = 256 * 1024;
    static constexpr std::size_t kMostKeptBytes = 4 * 1024 * 1024;

    /// `bytes` rounded up to whole pages.
    static std::size_t pagesFor(std::size_t bytes);
    /// `bytes` rounded down to whole pages.
    static std::size_t wholePagesOf(std::size_t bytes);

    /// Maps `pagesFor(bytes)` bytes, which may hold anything until written. Throws std::bad_alloc
    /// when the system has no room for them.
    explicit MappedBlock(std::size_t bytes);
    MappedBlock(MappedBlock&& other) noexcept;
    MappedBlock& operator=(MappedBlock&& other) noexcept;
    MappedBlock(const MappedBlock&) = delete;
    MappedBlock& operator=(const MappedBlock&) = delete;
    ~MappedBlock();

    char* data() const { return data_; }
    std::size_t size() const { return size_; }

    /// Gives back the pages that the first `bytes` do not reach, but the first, of a block larger
    /// than kLargestKeptBlock; a smaller one stays whole, to be kept when freed.
    void shrink(std::size_t bytes);

private:
    char* data_;
    std::size_t size_;
};

} // namespace norvane::counter
