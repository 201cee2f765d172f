#include "index-server/AddressCounts.h"

#include <algorithm>
#include <new>
#include <random>

namespace norvane::indexserver {

namespace {

/// A bijection of 64 bits whose every output bit depends on every input bit.
std::uint64_t mixed(std::uint64_t value) {
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EB;
    return value ^ (value >> 31);
}

} // namespace

template <typename Count>
AddressCounts<Count>::AddressCounts(std::size_t cellsPerRow) : cellsPerRow_(cellsPerRow) {
    std::random_device random;
    for (auto& seed : seeds_) {
        seed = std::uint64_t{random()} << 32 | random();
    }
    clear();
}

template <typename Count>
Count AddressCounts<Count>::count(std::uint64_t client) const {
    Count least = most;
    for (std::size_t row = 0; row < rows; ++row) {
        least = std::min(least, cells_[cellOf(row, client)]);
    }
    return least;
}

template <typename Count>
void AddressCounts<Count>::add(std::uint64_t client) {
    const Count counted = count(client);
    const Count raised = counted == most ? most : static_cast<Count>(counted + 1);
    for (std::size_t row = 0; row < rows; ++row) {
        auto& cell = cells_[cellOf(row, client)];
        cell = std::max(cell, raised);
    }
}

template <typename Count>
void AddressCounts<Count>::clear() {
    // Zeroed pages that the system maps in only once they are written.
    cells_.reset();
    cells_.reset(static_cast<Count*>(std::calloc(rows * cellsPerRow_, sizeof(Count))));
    if (!cells_) {
        throw std::bad_alloc();
    }
}

template <typename Count>
std::size_t AddressCounts<Count>::cellOf(std::size_t row, std::uint64_t client) const {
    return row * cellsPerRow_ + (mixed(client ^ seeds_[row]) & (cellsPerRow_ - 1));
}

template class AddressCounts<std::uint8_t>;
template class AddressCounts<std::uint16_t>;

} // namespace norvane::indexserver
