#pragma once

#include "index-server/AddressHash.h"
#include "index-server/ZeroedPages.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace norvane::indexserver {

/// Counts per client (a `ClientAddress` key) in a table of a size fixed when it is made, however
/// many clients come: each client has a cell in each of four rows, cells are shared, and a count
/// is the least of a client's cells, each raised only as far as that client's count needs. So a
/// client is never told fewer than were counted for it, and more only when every one of its cells
/// is shared with clients that counted more (a count-min sketch with conservative update). The
/// cells are picked by hashes seeded at random, afresh at each `clear`, so that no client can
/// choose whom it shares with. Counts stop at `most`. Untouched cells take no memory.
template <typename Count>
class AddressCounts {
public:
    static constexpr Count most = std::numeric_limits<Count>::max();

    /// `cellsPerRow` is a power of two.
    explicit AddressCounts(std::size_t cellsPerRow);

    Count count(std::uint64_t client) const;
    void add(std::uint64_t client);
    /// Forgets every count, giving the table's memory back, and draws new hashes.
    void clear();

private:
    static constexpr std::size_t rows = 4;

    std::size_t cellOf(std::size_t row, std::uint64_t client) const;

    const std::size_t cellsPerRow_;
    std::array<AddressHash, rows> hashes_;
    ZeroedPages pages_;
    Count* cells_;
};

extern template class AddressCounts<std::uint8_t>;
extern template class AddressCounts<std::uint16_t>;

} // namespace norvane::indexserver
