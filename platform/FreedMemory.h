#pragma once

namespace norvane::platform {

/// What the allocator keeps of memory that threads have freed. glibc gives each thread that
/// allocates at once with another an arena of its own, and keeps what is freed there for later
/// allocations: a program whose worker threads read much and drop it grows by the reads of every
/// arena, although nothing leaks.
namespace FreedMemory {

/// Lets the threads share at most `arenas` arenas. Call before any other thread starts.
void limitArenas(int arenas);

/// Gives back to the system the free pages of every arena, as far as they can go.
void release();

} // namespace FreedMemory
} // namespace norvane::platform
