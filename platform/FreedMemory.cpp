#include "platform/FreedMemory.h"

#include <malloc.h>

namespace norvane::platform::FreedMemory {

void limitArenas(int arenas) { mallopt(M_ARENA_MAX, arenas); }

void mapLargeBlocksApart(std::size_t bytes) { mallopt(M_MMAP_THRESHOLD, static_cast<int>(bytes)); }

void release() { malloc_trim(0); }

} // namespace norvane::platform::FreedMemory
