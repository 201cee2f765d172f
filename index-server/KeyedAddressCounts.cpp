#include "index-server/KeyedAddressCounts.h"

#include <stdexcept>

namespace norvane::indexserver {

namespace {

constexpr std::uint64_t countBits = 0xFF;

} // namespace

KeyedAddressCounts::KeyedAddressCounts(std::size_t entries, std::size_t overflowCellsPerRow)
    : buckets_(entries / bucketEntries), pages_(entries * sizeof(std::uint64_t)),
      entries_(static_cast<std::uint64_t*>(pages_.data())), overflow_(overflowCellsPerRow) {
    // The bucket's number must hold the bits that the count takes the place of.
    if (buckets_ <= countBits) {
        throw std::invalid_argument("a keyed table needs at least 4,096 entries");
    }
}

std::uint8_t KeyedAddressCounts::count(std::uint64_t client) const {
    const std::uint64_t hash = hash_(client);
    if (const std::uint64_t* entry = entryOf(hash)) {
        return static_cast<std::uint8_t>(*entry & countBits);
    }
    return overflow_.count(client);
}

void KeyedAddressCounts::add(std::uint64_t client) {
    const std::uint64_t hash = hash_(client);
    std::uint64_t* entry = entryOf(hash);
    if (entry == nullptr) {
        overflow_.add(client);
    } else if (*entry == 0) {
        *entry = (hash & ~countBits) | 1;
    } else if ((*entry & countBits) != most) {
        ++*entry;
    }
}

void KeyedAddressCounts::clear() {
    // Whose entries share a bucket holds for one period, as whom a client shares cells with does.
    hash_ = {};
    pages_.zero();
    overflow_.clear();
}

std::uint64_t* KeyedAddressCounts::entryOf(std::uint64_t hash) const {
    // Entries are taken from the front of a bucket and kept until the table is cleared, so the
    // first empty one ends the search.
    std::uint64_t* const bucket = entries_ + (hash & (buckets_ - 1)) * bucketEntries;
    for (std::size_t index = 0; index < bucketEntries; ++index) {
        if (bucket[index] == 0 || (bucket[index] & ~countBits) == (hash & ~countBits)) {
            return bucket + index;
        }
    }
    return nullptr;
}

} // namespace norvane::indexserver
