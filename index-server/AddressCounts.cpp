#include "index-server/AddressCounts.h"

#include <algorithm>

namespace norvane::indexserver {

template <typename Count>
AddressCounts<Count>::AddressCounts(std::size_t cellsPerRow)
    : cellsPerRow_(cellsPerRow), pages_(rows * cellsPerRow * sizeof(Count)),
      cells_(static_cast<Count*>(pages_.data())) {}

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
    // Whom a client shares cells with holds for one period: what an attacker learnt of it, by whom
    // it kept out, is worth nothing in the next.
    hashes_ = {};
    pages_.zero();
}

template <typename Count>
std::size_t AddressCounts<Count>::cellOf(std::size_t row, std::uint64_t client) const {
    return row * cellsPerRow_ + (hashes_[row](client) & (cellsPerRow_ - 1));
}

template class AddressCounts<std::uint8_t>;
template class AddressCounts<std::uint16_t>;

} // namespace norvane::indexserver
