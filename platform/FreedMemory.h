#pragma once

#include <cstddef>

namespace norvane::platform {

/// What the allocator keeps of memory that threads have freed. glibc gives each thread that
/// allocates at once with another an arena of its own, and keeps what is freed there for later
/// allocations: a program whose worker threads read much and drop it grows by the reads of every
/// arena, although nothing leaks.
namespace FreedMemory {

/// Lets the threads share at most `arenas` arenas. Call before any other thread starts.
void limitArenas(int arenas);

/// Maps blocks of `bytes` and more apart, each given back to the system when it is freed. glibc
/// otherwise raises that bound each time such a block is freed, and the next ones then stay in the
/// arenas between the small blocks that outlive them.
void mapLargeBlocksApart(std::size_t bytes);

/// Gives back to the system the free pages of every arena, as far as they can go.
void release();

} // namespace FreedMemory
} // namespace norvane::platform
