#pragma once

#include "index-server/AddressCounts.h"
#include "index-server/AddressHash.h"
#include "index-server/ZeroedPages.h"

#include <cstddef>
#include <cstdint>

namespace norvane::indexserver {

/// Counts per client (a `ClientAddress` key) in a table of a size fixed when it is made, however
/// many clients come. A client is counted in an entry of its own, exactly, in the bucket of 16
/// entries that its hash picks while that bucket has room: at half as many clients as entries, about
/// one client in a thousand finds its bucket full. Such a client is counted in an `AddressCounts` beside
/// the entries, which never tells fewer than were counted either. The buckets are picked by a hash
/// seeded at random, afresh at each `clear`, so that no client can choose whom it shares a bucket
/// with. Counts stop at 255. Untouched entries take no memory.
class KeyedAddressCounts {
public:
    static constexpr std::uint8_t most = 255;

    /// `entries` and `overflowCellsPerRow` are powers of two, `entries` at least 4,096.
    KeyedAddressCounts(std::size_t entries, std::size_t overflowCellsPerRow);

    std::uint8_t count(std::uint64_t client) const;
    void add(std::uint64_t client);
    /// Forgets every count, giving the table's memory back, and draws a new hash.
    void clear();

private:
    /// The entries of one bucket: two cache lines.
    static constexpr std::size_t bucketEntries = 16;

    /// The client's entry, an empty one where its bucket has room, or null.
    std::uint64_t* entryOf(std::uint64_t hash) const;

    const std::size_t buckets_;
    AddressHash hash_;
    ZeroedPages pages_;
    /// A client's hash with its count in the lowest byte: the bucket, picked by the lowest bits,
    /// tells those. 0 is an empty entry.
    std::uint64_t* entries_;
    AddressCounts<std::uint8_t> overflow_;
};

} // namespace norvane::indexserver
